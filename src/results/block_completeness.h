#pragma once
// Whether a result file has been written to its end, judged from its bytes alone: a
// writer that pauses mid-test leaves a file that looks quiet but is not whole.

#include <string>
#include <string_view>

namespace vantrel {

/// Why the last test of the result text is not complete yet: fewer rows than its sweep
/// line's Points, no rows at all, or a last row cut short. "" when it is complete, and
/// for a text without any test (the reader judges that one).
std::string LastTestIncomplete(std::string_view text);

}  // namespace vantrel
