#pragma once
// Reading a whole definition file as bytes, without exceptions.

#include <string>

namespace vantrel {

/// The bytes of a regular file. Anything else (a folder, a pipe, a device) and any read
/// error gives false with a reason in error: such a path would block or never end.
bool ReadDefinitionBytes(const std::string& path, std::string& bytes, std::string& error);

}  // namespace vantrel
