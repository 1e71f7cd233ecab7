// A fault while a graph is read or drawn is told under the graph routine's name, with
// Retry and Cancel, and the run goes on or ends as the user says.

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/recording_prompter.h"
#include "fake_data_source.h"
#include "render/report_job.h"
#include "render/report_producer.h"

namespace vantrel {
namespace {

// A data source that breaks on its first few reads, as a vanished copy would.
class BreakingSource : public testing::FakeDataSource {
 public:
  int Breaks = 1;
  ReadTestDataResult ReadTestData(const ReadTestDataRequest& request, bool all) override {
    if (Breaks > 0) {
      --Breaks;
      throw std::runtime_error("the test data cannot be read");
    }
    return FakeDataSource::ReadTestData(request, all);
  }
};

TEST(GraphFault, IsToldUnderTheGraphRoutineAndRetryDrawsThePage) {
  auto state = std::make_unique<ProgramState>();
  BreakingSource data;
  testing::RecordingPrompter ask;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  data.Results["Attenuation Near"] =
      testing::GraphResult({"1", "2", "4"}, {{"-1", "-2", "-3"}}, {"Freq", "Pair 1"});
  ReportDefinition& report = state->Reports[0];
  report.Title = "Report 1";
  report.SlotsX = report.SlotsY = 1;
  report.GraphCount = 1;
  report.Graphs[0].Data[0] = "Attenuation Near";
  report.Graphs[0].Cols[0] = {1, 2};
  report.Graphs[0].Slot = 1;

  PictureTarget target({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(target.Begin());
  JobPageState job;
  ReportProducer producer(context);
  ask.Script({PromptAnswer::Retry});
  EXPECT_EQ(producer.ProduceReport(0, false, target, job), ProduceOutcome::Drawn);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text,
            "Error in 'FrmReport/PlotGraph2'\r\rthe test data cannot be read");
  EXPECT_EQ(ask.Messages[0].Buttons, PromptButtons::RetryCancel);

  // Cancel, then No to closing: the report is given up, the program stays.
  data.Breaks = 1;
  ask.Messages.clear();
  ask.Script({PromptAnswer::Cancel, PromptAnswer::No});
  JobPageState second;
  EXPECT_EQ(producer.ProduceReport(0, false, target, second), ProduceOutcome::Faulted);
  ASSERT_EQ(ask.Messages.size(), 2u);
  EXPECT_EQ(ask.Messages[0].Text.rfind("Error in 'FrmReport/PlotGraph2'\r\r", 0), 0u);
}

}  // namespace
}  // namespace vantrel
