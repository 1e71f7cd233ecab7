#pragma once
// A fault inside a drawing routine, told under the routine's long-known name.

#include <stdexcept>
#include <string>

namespace vantrel {

/// what() is "Error in " + routine, two line breaks and the fault: the whole text the
/// report producer shows, with Retry and Cancel.
class RoutineFault : public std::runtime_error {
 public:
  RoutineFault(const std::string& routine, const std::string& fault)
      : std::runtime_error("Error in " + routine + "\r\r" + fault) {}
};

/// Runs body; a fault that no routine has named yet is named routine.
template <typename Body>
auto NamedFaults(const char* routine, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const RoutineFault&) {
    throw;
  } catch (const std::exception& e) {
    throw RoutineFault(routine, e.what());
  }
}

inline constexpr const char* kPlotGraphRoutine = "'FrmReport/PlotGraph2'";

}  // namespace vantrel
