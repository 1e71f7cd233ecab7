#pragma once
// Keys of a definition file that no reader looks up: misspelt, or without effect where
// they stand (a following graph's COLS_1, SLOTSX beside X, a second [GENERAL]).

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "definitions/ini_store.h"

namespace vantrel {

class UnreadKeys {
 public:
  /// Takes the store's entries now, before the readers empty it, and watches its lookups
  /// from here on; store must outlive this object.
  explicit UnreadKeys(IniStore& store);
  UnreadKeys(const UnreadKeys&) = delete;
  UnreadKeys& operator=(const UnreadKeys&) = delete;
  ~UnreadKeys();

  /// Each entry never looked up, as "[SECTION] KEY", in file order.
  std::vector<std::string> Unread() const;

 private:
  IniStore& store_;
  // (section, key) of every entry, with the section as the file's renumbered header.
  std::vector<std::pair<std::string, std::string>> entries_;
  std::set<std::pair<std::string, std::string>> asked_;
  std::set<std::string> firstSections_;  // a later section of the same name is never read
  std::vector<bool> inFirstSection_;
};

}  // namespace vantrel
