#pragma once
// Text rules shared by every reader: blanks, ASCII case, replacement, splitting.

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

/// Blanks are spaces and tabs.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

/// ASCII-only case mapping; bytes of other characters stay as they are.
char ToUpperAscii(char c);
char ToLowerAscii(char c);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
bool Contains(std::string_view text, std::string_view part);
bool ContainsNoCase(std::string_view text, std::string_view part);
/// Position of the first case-insensitive occurrence, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view part, std::size_t from = 0);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to);

/// Cuts at every separator; empty pieces are kept, so "a,,b" gives three.
std::vector<std::string> SplitAt(std::string_view text, char separator);

/// Message texts separate lines with carriage returns; displays want line feeds.
std::string CarriageReturnsToLineBreaks(std::string_view text);

/// The text without control characters (tab kept): for output that a terminal, a
/// spreadsheet or a parser reads, where a NUL or an escape byte from a file does harm.
std::string WithoutControls(std::string_view text);

}  // namespace vantrel
