#pragma once
// The window goes on without a usable temporary folder: definitions can still be
// read and edited, and each data file then says itself why it cannot be loaded.

#include <string>

#include "support/prompter.h"

namespace vantrel {

/// "Error Finding the Temporary Directory", then the reason (from the folder check).
void TellUnusableTempFolder(const std::string& reason, Prompter& prompter);

}  // namespace vantrel
