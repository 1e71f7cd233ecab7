#pragma once
// Wildcard patterns as test names are written: "*" any run, "?" any one character,
// "#" one digit, "[abc]" / "[a-z]" one of a list, "[!abc]" one not in it.

#include <string_view>

namespace vantrel {

/// Whole-text match, case-sensitive (callers lower-case both sides when they need
/// case-insensitive matching). Characters are UTF-8 code points. A "[" without a
/// closing "]" stands for itself. Runs in O(text x pattern), never exponential.
bool WildcardMatch(std::string_view text, std::string_view pattern);

}  // namespace vantrel
