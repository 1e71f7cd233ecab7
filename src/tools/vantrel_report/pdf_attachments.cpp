#include "tools/vantrel_report/pdf_attachments.h"

#include <zlib.h>

#include <charconv>
#include <optional>

namespace vantrel::report_tool {

namespace {

constexpr std::size_t kMaxAttachment = std::size_t{1} << 31;

// The body of "N 0 obj ... endobj".
std::optional<std::string_view> ObjectBody(std::string_view pdf, long number) {
  const std::string head = std::to_string(number) + " 0 obj";
  std::size_t at = 0;
  for (;;) {
    at = pdf.find(head, at);
    if (at == std::string_view::npos) return std::nullopt;
    // "21 0 obj" must not match the end of "121 0 obj".
    if (at == 0 || pdf[at - 1] == '\n' || pdf[at - 1] == '\r') break;
    at += head.size();
  }
  const std::size_t from = at + head.size();
  const std::size_t end = pdf.find("endobj", from);
  if (end == std::string_view::npos) return std::nullopt;
  return pdf.substr(from, end - from);
}

std::optional<long> NumberAfter(std::string_view text, std::string_view key) {
  std::size_t at = text.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  at += key.size();
  while (at < text.size() && (text[at] == ' ' || text[at] == '\n' || text[at] == '\r')) ++at;
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), value);
  if (ec != std::errc() || end == text.data() + at) return std::nullopt;
  return value;
}

// A literal string "( ... )" with its escapes; UTF-16 with a byte order mark becomes UTF-8.
std::string LiteralString(std::string_view text, std::size_t open) {
  std::string raw;
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      const char e = text[++i];
      switch (e) {
        case 'n':
          raw.push_back('\n');
          break;
        case 'r':
          raw.push_back('\r');
          break;
        case 't':
          raw.push_back('\t');
          break;
        default:
          if (e >= '0' && e <= '7') {
            int v = 0, n = 0;
            while (n < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7') {
              v = v * 8 + (text[i] - '0');
              ++i, ++n;
            }
            --i;
            raw.push_back(static_cast<char>(v));
          } else {
            raw.push_back(e);
          }
      }
      continue;
    }
    if (c == '(' && depth++ == 0) continue;
    if (c == ')' && --depth == 0) break;
    raw.push_back(c);
  }
  if (raw.size() < 2 || raw[0] != '\xFE' || raw[1] != '\xFF') return raw;
  std::string out;
  for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
    unsigned u = (static_cast<unsigned char>(raw[i]) << 8) | static_cast<unsigned char>(raw[i + 1]);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < raw.size()) {
      const unsigned lo =
          (static_cast<unsigned char>(raw[i + 2]) << 8) | static_cast<unsigned char>(raw[i + 3]);
      u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
      i += 2;
    }
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (u >> 18)));
      out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

std::optional<std::string> Inflate(std::string_view packed) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  std::string out;
  char buffer[65536];
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    rc = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
    if (out.size() > kMaxAttachment) rc = Z_MEM_ERROR;
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) return std::nullopt;
  return out;
}

std::optional<std::string> StreamData(std::string_view pdf, long number) {
  const auto body = ObjectBody(pdf, number);
  if (!body) return std::nullopt;
  std::size_t start = body->find("stream");
  if (start == std::string_view::npos) return std::nullopt;
  const std::string_view dict = body->substr(0, start);
  start += 6;
  if (start < body->size() && (*body)[start] == '\r') ++start;
  if (start < body->size() && (*body)[start] == '\n') ++start;
  std::optional<long> length;
  const std::size_t lengthAt = dict.find("/Length");
  if (lengthAt != std::string_view::npos) {
    const std::string_view rest = dict.substr(lengthAt + 7);
    const auto value = NumberAfter(rest, "");
    if (value && rest.find(" 0 R") < rest.find('/')) {
      if (const auto lengthObject = ObjectBody(pdf, *value))
        length = NumberAfter(*lengthObject, "");
    } else {
      length = value;
    }
  }
  if (!length || *length < 0 || static_cast<std::size_t>(*length) > body->size() - start)
    return std::nullopt;
  const std::string_view data = body->substr(start, static_cast<std::size_t>(*length));
  if (dict.find("/FlateDecode") == std::string_view::npos) return std::string(data);
  return Inflate(data);
}

}  // namespace

std::map<std::string, std::string> PdfAttachments(std::string_view pdf) {
  std::map<std::string, std::string> files;
  std::size_t at = 0;
  while ((at = pdf.find("/Type/Filespec", at)) != std::string_view::npos) {
    const std::size_t objStart = pdf.rfind(" obj", at);
    const std::size_t objEnd = pdf.find("endobj", at);
    at += 14;
    if (objStart == std::string_view::npos || objEnd == std::string_view::npos) continue;
    const std::string_view fileSpec = pdf.substr(objStart, objEnd - objStart);
    const std::size_t nameAt = fileSpec.find("/F (");
    const auto stream = NumberAfter(fileSpec, "/EF <</F");
    if (nameAt == std::string_view::npos || !stream) continue;
    if (auto data = StreamData(pdf, *stream)) files[LiteralString(fileSpec, nameAt + 3)] = *data;
  }
  return files;
}

}  // namespace vantrel::report_tool
