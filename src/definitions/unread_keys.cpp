#include "definitions/unread_keys.h"

#include "support/text.h"

namespace vantrel {

UnreadKeys::UnreadKeys(IniStore& store) : store_(store) {
  std::string section;
  bool first = false;
  int s = 1;
  for (int i = 1; i <= store.EntryCount; ++i) {
    if (s <= store.SectionCount && store.SectionStart[s] == i) {
      section = store.Keys[i];
      first = firstSections_.insert(section).second;
      ++s;
      continue;
    }
    // Lines without "=" carry no key: they are how the file writes comments.
    if (store.Keys[i].empty()) continue;
    entries_.emplace_back(section, store.Keys[i]);
    inFirstSection_.push_back(first);
  }
  store_.WatchLookups = [this](std::string_view sec, std::string_view key) {
    asked_.emplace(ToUpper(sec), std::string(key));
  };
}

UnreadKeys::~UnreadKeys() { store_.WatchLookups = nullptr; }

std::vector<std::string> UnreadKeys::Unread() const {
  std::vector<std::string> unread;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const auto& [section, key] = entries_[i];
    if (inFirstSection_[i] && asked_.count(entries_[i]) != 0) continue;
    unread.push_back((section.empty() ? std::string("(before any section)") : section) + " " + key);
  }
  return unread;
}

}  // namespace vantrel
