#include "support/wildcard.h"

#include <cstdint>
#include <vector>

namespace vantrel {

namespace {

std::vector<char32_t> CodePoints(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    int length = 1;
    char32_t cp = b;
    if (b >= 0xF0 && b < 0xF8) {
      length = 4;
      cp = b & 0x07;
    } else if (b >= 0xE0) {
      length = 3;
      cp = b & 0x0F;
    } else if (b >= 0xC0) {
      length = 2;
      cp = b & 0x1F;
    }
    if (length > 1 && i + static_cast<std::size_t>(length) <= text.size()) {
      for (int k = 1; k < length; ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
      }
    } else {
      length = 1;
      cp = b;
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

enum class TokenKind { Literal, AnyOne, Digit, List, AnyRun };

struct Token {
  TokenKind Kind = TokenKind::Literal;
  char32_t Ch = 0;
  bool Negated = false;
  std::vector<std::pair<char32_t, char32_t>> Ranges;

  bool Matches(char32_t c) const {
    switch (Kind) {
      case TokenKind::Literal:
        return c == Ch;
      case TokenKind::AnyOne:
        return true;
      case TokenKind::Digit:
        return c >= U'0' && c <= U'9';
      case TokenKind::List: {
        bool inList = false;
        for (const auto& [lo, hi] : Ranges) {
          if (c >= lo && c <= hi) {
            inList = true;
            break;
          }
        }
        return inList != Negated;
      }
      case TokenKind::AnyRun:
        return true;
    }
    return false;
  }
};

std::vector<Token> Compile(const std::vector<char32_t>& p) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < p.size(); ++i) {
    Token t;
    const char32_t c = p[i];
    if (c == U'*') {
      if (!tokens.empty() && tokens.back().Kind == TokenKind::AnyRun) continue;
      t.Kind = TokenKind::AnyRun;
    } else if (c == U'?') {
      t.Kind = TokenKind::AnyOne;
    } else if (c == U'#') {
      t.Kind = TokenKind::Digit;
    } else if (c == U'[') {
      std::size_t close = i + 1;
      while (close < p.size() && p[close] != U']') ++close;
      if (close >= p.size()) {
        t.Ch = c;  // unclosed list: the bracket stands for itself
      } else {
        t.Kind = TokenKind::List;
        std::size_t j = i + 1;
        if (j < close && p[j] == U'!') {
          t.Negated = true;
          ++j;
        }
        while (j < close) {
          if (j + 2 < close && p[j + 1] == U'-') {
            char32_t lo = p[j], hi = p[j + 2];
            if (lo > hi) std::swap(lo, hi);
            t.Ranges.emplace_back(lo, hi);
            j += 3;
          } else {
            t.Ranges.emplace_back(p[j], p[j]);
            ++j;
          }
        }
        i = close;
      }
    } else {
      t.Ch = c;
    }
    tokens.push_back(std::move(t));
  }
  return tokens;
}

}  // namespace

bool WildcardMatch(std::string_view textUtf8, std::string_view patternUtf8) {
  const std::vector<char32_t> text = CodePoints(textUtf8);
  const std::vector<Token> tokens = Compile(CodePoints(patternUtf8));
  // Classic star backtracking: remember the last "*" and retry one character later.
  std::size_t t = 0, p = 0;
  std::size_t starToken = SIZE_MAX, starText = 0;
  while (t < text.size()) {
    if (p < tokens.size() && tokens[p].Kind == TokenKind::AnyRun) {
      starToken = p++;
      starText = t;
    } else if (p < tokens.size() && tokens[p].Matches(text[t])) {
      ++p;
      ++t;
    } else if (starToken != SIZE_MAX) {
      p = starToken + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < tokens.size() && tokens[p].Kind == TokenKind::AnyRun) ++p;
  return p == tokens.size();
}

}  // namespace vantrel
