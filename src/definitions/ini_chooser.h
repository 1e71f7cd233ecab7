#pragma once
// Which definition file to use when the command line names none.

#include <string>

#include "definitions/file_dialog.h"

namespace vantrel {

/// Path of the running executable (from /proc/self/exe); empty when unknown.
std::string ExecutablePath();

/// The executable's name + ".ini" beside it, else + ".bak", else the file chosen in
/// the dialog. Empty when the dialog was cancelled: the program then ends.
std::string ChooseIniFile(const std::string& executablePath, FileDialog& dialog);

/// The same for the running executable.
std::string ChooseIniFile(FileDialog& dialog);

}  // namespace vantrel
