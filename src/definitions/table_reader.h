#pragma once
// Reads the [TABLE_r_t] sections of one report.

#include "definitions/app_settings.h"
#include "definitions/ini_store.h"
#include "definitions/report_definition.h"
#include "support/prompter.h"

namespace vantrel {

/// Reads tables 1.. of report r into report.Tables and counts them in TableCount.
void ReadTables(const IniStore& ini, const AppSettings& settings, int r, ReportDefinition& report,
                Prompter& prompter);

}  // namespace vantrel
