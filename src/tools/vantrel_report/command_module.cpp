#include "tools/vantrel_report/command_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "tools/vantrel_report/opened_run.h"

namespace vantrel::report_tool {

namespace fs = std::filesystem;

std::string CommandModulePath() {
  std::error_code error;
  const fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
  const fs::path beside = folder / VANTREL_COMMANDS_NAME;
  if (fs::exists(beside, error)) return beside.string();
  return (folder / VANTREL_COMMANDS_FROM_BIN / VANTREL_COMMANDS_NAME).lexically_normal().string();
}

CommandModule::~CommandModule() {
  if (loader_.joinable()) loader_.join();
}

void CommandModule::StartLoading() {
  started_ = true;
  loader_ = std::thread([this] { Load(); });
}

CommandEntry CommandModule::Entry() {
  if (!started_) {
    started_ = true;
    Load();
  }
  if (loader_.joinable()) loader_.join();
  if (entry_ == nullptr) Fail("cannot load the commands: " + error_, kExitOutput);
  return entry_;
}

void CommandModule::Load() {
  const std::string path = CommandModulePath();
  // Never closed: the commands' static objects live until the program ends.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* why = dlerror();
    error_ = why != nullptr ? why : path;
    return;
  }
  const auto* build = static_cast<const char*>(dlsym(module, kCommandBuildName));
  if (build == nullptr || std::strcmp(build, kCommandBuild) != 0) {
    error_ = path + " belongs to " +
             (build != nullptr ? "build " + std::string(build) : std::string("another program")) +
             ", not to vantrel-report " + kCommandBuild;
    return;
  }
  entry_ = reinterpret_cast<CommandEntry>(dlsym(module, kCommandEntryName));
  if (entry_ == nullptr) error_ = path + " has no entry " + kCommandEntryName;
}

}  // namespace vantrel::report_tool
