#pragma once
// Everything program-wide that lives from one definition-file load to the next.
// One owner, passed by reference, so that two tests never share state.

#include <array>
#include <string>

#include "definitions/app_settings.h"
#include "definitions/header_definition.h"
#include "definitions/ini_store.h"
#include "definitions/profiles.h"
#include "definitions/report_definition.h"
#include "definitions/report_slots.h"

namespace vantrel {

struct ProgramState {
  IniStore Ini;
  AppSettings Settings;
  HeaderDefinition Header;
  ReportSlots Reports;
  ProfileTable Profiles;
  ProfileTable SequenceProfiles;
  ReportSelection Selection{};
  bool ReportsRead = false;          // the report-definitions-read flag
  std::string DefinitionPath;        // the current definition file
  std::string DataFilePath;          // the current data file, as given to SetFile
  std::string AppTitle = "Vantrel";  // default title of messages
};

}  // namespace vantrel
