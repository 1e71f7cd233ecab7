#include "common/window_inputs.h"

namespace vantrel::testing {

std::string WindowIni(int count, const std::vector<std::string>& general,
                      const std::vector<std::string>& titles) {
  std::string text = "[GENERAL]\r\n";
  for (const std::string& line : general) text += line + "\r\n";
  for (int r = 1; r <= count; ++r) {
    const std::size_t i = static_cast<std::size_t>(r - 1);
    const std::string title = i < titles.size() ? titles[i] : "Report " + std::to_string(r);
    text += "[REPORT_" + std::to_string(r) + "]\r\nTITLE=" + title + "\r\n";
  }
  return text;
}

std::string ResultText() {
  return "[COMMA DELIMITED]\n"
         "Results,run7.txt\n"
         "Cable ID,CBL-7\n"
         "Test Description,Seq A\n"
         "Pairs,2\n"
         "Pass/Fail Status,PASSED\n"
         "\n"
         "TEST:,Insertion Loss\n"
         "No,Freq,Pair 1,Pair 2,LCL,UCL,Lower,Upper,Status\n"
         "1,1.000,2.1,2.0,x,3,x,4,PP\n";
}

}  // namespace vantrel::testing
