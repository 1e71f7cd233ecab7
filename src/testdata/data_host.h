#pragma once
// What the test-data object asks of the window that shows it. The batch tool and
// tests use NullDataHost.

#include <string>

namespace vantrel {

class DataHost {
 public:
  virtual ~DataHost() = default;
  /// The main window's caption, e.g. "run.txt - Vantrel".
  virtual void SetCaption(const std::string& caption) = 0;
  /// Progress of indexing a data file, 0 to 100.
  virtual void SetProgress(int percent) = 0;
  /// The data file's header named value (AUTOPROFILE): select the profile matching it.
  virtual void ApplyProfileNamed(const std::string& value) = 0;
  /// The report selection was changed from here; refresh the buttons.
  virtual void SelectionChanged() = 0;
  /// Progress is only driven while the window is visible.
  virtual bool WindowVisible() const = 0;
};

class NullDataHost : public DataHost {
 public:
  void SetCaption(const std::string&) override {}
  void SetProgress(int) override {}
  void ApplyProfileNamed(const std::string&) override {}
  void SelectionChanged() override {}
  bool WindowVisible() const override { return false; }
};

}  // namespace vantrel
