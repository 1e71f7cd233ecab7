#pragma once
// The report definitions of one load, 209 slots of which a definition file fills a
// few: a slot is made when first written, since making all of them (11 MB) costs
// more than reading a large result file.

#include <array>
#include <cstddef>
#include <memory>

#include "definitions/report_definition.h"

namespace vantrel {

class ReportSlots {
 public:
  /// The slot, made empty if it was not yet.
  ReportDefinition& operator[](std::size_t i) {
    std::unique_ptr<ReportDefinition>& slot = slots_[i];
    if (!slot) slot = std::make_unique<ReportDefinition>();
    return *slot;
  }
  /// The slot, or an empty definition when it was never written. Never makes one, so
  /// readers on several threads may share the slots.
  const ReportDefinition& operator[](std::size_t i) const {
    return slots_[i] ? *slots_[i] : Empty();
  }

  /// Every slot empty again.
  void Clear() {
    for (std::unique_ptr<ReportDefinition>& slot : slots_) slot.reset();
  }

 private:
  static const ReportDefinition& Empty() {
    static const ReportDefinition empty;
    return empty;
  }

  std::array<std::unique_ptr<ReportDefinition>, kReportSlots> slots_;
};

}  // namespace vantrel
