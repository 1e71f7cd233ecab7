#pragma once
// Reads the settings of [GENERAL] and [HEADER], the profiles and every report's title
// and initial selection, after each load of the definition file.

#include <functional>
#include <string>

#include "definitions/program_state.h"
#include "support/prompter.h"

namespace vantrel {

/// Called with (value, maximum) while report titles are read, when progress is shown.
using ProgressSink = std::function<void(int value, int maximum)>;

/// reportList is the command line's list of 0-based indices ("0,2,5,"), or empty.
void ReadSettings(ProgramState& state, Prompter& prompter, const std::string& reportList,
                  const ProgressSink& progress = {});

/// A relative LOGO that is not found from the current folder is taken from the
/// definition file's folder when it is there, whatever folder the program started in.
/// One written "\logo.bmp" (one backslash, not two) is in programFolder, else beside
/// the definition file.
void FindLogoBeside(AppSettings& settings, const std::string& definition,
                    const std::string& programFolder);
/// The same with the running executable's folder.
void FindLogoBeside(AppSettings& settings, const std::string& definition);

/// True when number is one of the comma-terminated elements of list.
bool InList(int number, std::string_view list);

}  // namespace vantrel
