#include "utf8_text.h"

#include <cstdint>

namespace tw::pack {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// 1252's bytes 0x80..0x9F; the rest of the code page is Latin-1.
const char16_t kHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The character at pos, moving pos past it; a byte that starts no well-formed character gives
// U+FFFD and moves on by one, so the next character still decodes.
char32_t NextCharacter(const std::string& text, size_t& pos) {
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(text[at]); };
  const uint8_t lead = byte(pos);
  size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                  : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || pos + length > text.size()) {
    ++pos;
    return length == 1 ? lead : kReplacement;
  }
  char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    code = code << 6 | (byte(pos + i) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return code;
}

}  // namespace

std::string Utf8FromAnsi(const std::string& ansi) {
  std::string utf8;
  for (char c : ansi) {
    const auto byte = static_cast<uint8_t>(c);
    utf8 += EncodeUtf8(byte >= 0x80 && byte < 0xA0 ? kHighHalf[byte - 0x80] : byte);
  }
  return utf8;
}

bool IsUtf8(const std::string& text) {
  for (size_t pos = 0; pos < text.size();) {
    const size_t start = pos;
    // U+FFFD written out is three bytes; one made up for a bad byte moves on by one.
    if (NextCharacter(text, pos) == kReplacement && pos - start != 3) return false;
  }
  return true;
}

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string characters;
  for (size_t pos = 0; pos < text.size();) characters += NextCharacter(text, pos);
  return characters;
}

std::string EncodeUtf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace tw::pack
