#pragma once
// The limits a certificate page keeps to, shared by layout and the layout check.

namespace vantrel {

/// Printers leave this much of every paper edge blank.
inline constexpr float kPrintableMarginMm = 5;
/// Below this, text on a certificate is not readable.
inline constexpr float kSmallestPoints = 5;

}  // namespace vantrel
