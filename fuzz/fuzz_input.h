#pragma once
// What every fuzz target shares: a prompter that answers safely and says nothing, and
// the input written to a file of the process's own, since the readers take paths.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/prompter.h"

namespace vantrel::fuzz {

class SilentPrompter : public Prompter {
 public:
  PromptAnswer Message(const std::string&, const std::string&, PromptIcon,
                       PromptButtons buttons) override {
    return SafeAnswer(buttons);
  }
};

/// The folder for the input files and the data object's copies.
inline std::string Scratch() {
  static const std::string folder = [] {
    char name[] = "/tmp/vantrel-fuzz-XXXXXX";
    return std::string(mkdtemp(name) != nullptr ? name : "/tmp");
  }();
  return folder;
}

/// Writes the input under name in the scratch folder and returns its path.
inline std::string WriteInput(const uint8_t* data, std::size_t size, const char* name) {
  const std::string path = Scratch() + "/" + name;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return path;
  if (size > 0) std::fwrite(data, 1, size, out);
  std::fclose(out);
  return path;
}

}  // namespace vantrel::fuzz
