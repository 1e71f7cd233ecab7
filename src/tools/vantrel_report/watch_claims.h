#pragma once
// Claims of the watchers of one folder. Each watcher holds a folder of its own under
// DIR/.claims, locked (flock) for as long as it lives; a file is claimed by renaming
// it into that folder, so exactly one watcher has it. The folder of a watcher that
// died is known by its free lock, and the first watcher to take the lock carries on
// with what is in it, so no claimed file is lost.

#include <filesystem>
#include <string>
#include <vector>

namespace vantrel::report_tool {

class Claims {
 public:
  Claims() = default;
  ~Claims();
  Claims(const Claims&) = delete;
  Claims& operator=(const Claims&) = delete;

  /// Makes this watcher's own claim folder in dir; false with why when it cannot.
  bool Open(const std::filesystem::path& dir, std::string& why);
  const std::filesystem::path& Own() const { return own_.Path; }

  /// Renames dir/NAME into the own folder. False when another watcher (or the user)
  /// took it first; why is set only for a real fault.
  bool Take(const std::filesystem::path& file, std::string& why);

  /// Takes over the folders of watchers that died. Returns the folders held now: the
  /// own one first, then those taken over, whose files are ours to finish.
  std::vector<std::filesystem::path> Held();

  /// Gives back a taken-over folder once it is empty.
  void ReleaseIfEmpty(const std::filesystem::path& folder);

 private:
  struct Folder {
    std::filesystem::path Path;
    int Lock = -1;
  };
  void AdoptDead();
  static void Remove(Folder& folder);

  std::filesystem::path root_;
  Folder own_;
  std::vector<Folder> adopted_;
};

}  // namespace vantrel::report_tool
