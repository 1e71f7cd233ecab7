#pragma once
// What the test-data object asks of the window that shows it. The window implements
// it; the batch tool and tests use NullDataHost.

#include <string>

namespace vantrel {

class DataHost {
 public:
  virtual ~DataHost() = default;
  /// The main window's caption ("<file name> - Vantrel").
  virtual void SetCaption(const std::string& caption) = 0;
  /// Progress bar while a data file is indexed, 0..100.
  virtual void SetProgress(int percent) = 0;
  /// Progress is only driven while the window is visible.
  virtual bool IsVisible() const = 0;
  /// The header's AUTOPROFILE line names a profile to apply.
  virtual void ApplyProfile(const std::string& name) = 0;
  /// The report selection flags changed; refresh the buttons.
  virtual void SelectionChanged() = 0;
};

class NullDataHost : public DataHost {
 public:
  void SetCaption(const std::string&) override {}
  void SetProgress(int) override {}
  bool IsVisible() const override { return false; }
  void ApplyProfile(const std::string&) override {}
  void SelectionChanged() override {}
};

}  // namespace vantrel
