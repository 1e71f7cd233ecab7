#pragma once
// Getting the data file out of an archive.

#include <string>

#include "support/prompter.h"

namespace vantrel {

/// Extracts the archive's first entry into folder and returns its path there; with a
/// target, copies it to target, removes the extracted file and returns target.
/// Faults give a "Zip Error" message and an empty result.
std::string Orv_UnZip_to_file(const std::string& archive, const std::string& folder,
                              const std::string& target, Prompter& prompter);

/// Streams the archive's first file entry into target (replacing its contents);
/// nothing is written anywhere else. An unreadable, damaged, empty or encrypted
/// archive, or an entry too large or packed too densely for a result file, gives a
/// "Zip Error" message that says what is wrong, leaves target empty and returns false.
/// entryName, when given, receives the first entry's name inside the archive.
bool ExtractFirstEntryTo(const std::string& archive, const std::string& target, Prompter& prompter,
                         std::string* entryName = nullptr);

}  // namespace vantrel
