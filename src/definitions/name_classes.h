#pragma once
// What a test's name says about its limits and its pair columns.

#include <string>
#include <string_view>

namespace vantrel {

enum class LimitClass { Lower, Upper, Both };

/// Taken from the name before its first "|", trimmed and lower-cased.
LimitClass ClassOfTest(std::string_view testName);

/// "MIN", "MAX" or "MIN&MAX".
const char* MarginTypeName(LimitClass limitClass);

/// 1, 2 or 3 for the lower-limit, upper-limit and both-limits class.
int MarginTypeOf(LimitClass limitClass);

/// 12 or 6 for the pair-to-pair tests, 0 for any other name.
int PairCountOf(std::string_view testName);

}  // namespace vantrel
