#pragma once
// Reads the [GRAPH_r_g] sections of one report.

#include "definitions/app_settings.h"
#include "definitions/ini_store.h"
#include "definitions/report_definition.h"
#include "support/prompter.h"

namespace vantrel {

/// Reads graphs 1.. of report r into report.Graphs and counts them in GraphCount.
/// report's grid (SlotsX, SlotsY) must be read already: free placements are checked
/// against it.
void ReadGraphs(const IniStore& ini, const AppSettings& settings, int r, ReportDefinition& report,
                Prompter& prompter);

/// The y tick step chosen when the limits are given and the step is not.
double AutomaticYTicks(double yMin, double yMax);

}  // namespace vantrel
