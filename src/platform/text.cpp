#include "platform/text.h"

#include <cctype>

#include "platform/system_info.h"

namespace tw {
namespace {

// Windows opens these names as devices in any folder, whatever the case, with or without an
// extension and with blanks before the dot: "nul.txt" or "COM1 .log" is the port, never a file.
// The system counts the superscript digits one to three (a byte of their own in the ANSI code
// page, two in UTF-8) as port numbers too.
bool IsDeviceName(const std::string& name) {
  std::string base = Lower(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
    if (base == device) return true;
  if (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0) return false;
  const std::string number = base.substr(3);
  if (number.size() == 1 && number[0] >= '1' && number[0] <= '9') return true;
  for (const char* superscript : {"\xB9", "\xB2", "\xB3", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"})
    if (number == superscript) return true;
  return false;
}

}  // namespace

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::string WithoutTrailingBackslash(std::string text) {
  if (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

std::string LastComponent(const std::string& path, const char* separators) {
  size_t cut = path.find_last_of(separators);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (unsigned char c : name)
    if (c < 32 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
  return !IsDeviceName(name);
}

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string characters;
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    char32_t character = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      character = (character << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past the last plane are no characters.
    valid = valid && !(length == 3 && character < 0x800) && !(length == 4 && character < 0x10000) &&
            !(character >= 0xD800 && character <= 0xDFFF) && character <= 0x10FFFF;
    characters.push_back(valid ? character : lead);
    i += valid ? length : 1;
  }
  return characters;
}

void AppendUtf8(std::string& text, char32_t character) {
  if (character < 0x80) {
    text += static_cast<char>(character);
  } else if (character < 0x800) {
    text += static_cast<char>(0xC0 | (character >> 6));
    text += static_cast<char>(0x80 | (character & 0x3F));
  } else if (character < 0x10000) {
    text += static_cast<char>(0xE0 | (character >> 12));
    text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (character >> 18));
    text += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (character & 0x3F));
  }
}

bool StartsWithUtf8Bom(const std::string& bytes) { return bytes.compare(0, 3, kUtf8Bom) == 0; }

std::optional<std::string> MarkedTextToUtf8(const std::string& bytes) {
  if (StartsWithUtf8Bom(bytes)) return bytes.substr(3);
  const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0, big = bytes.compare(0, 2, "\xFE\xFF") == 0;
  if (!little && !big) return std::nullopt;
  std::string text;
  auto unit = [&](size_t at) -> char32_t {
    const auto low = static_cast<unsigned char>(bytes[at + (little ? 0 : 1)]);
    const auto high = static_cast<unsigned char>(bytes[at + (little ? 1 : 0)]);
    return static_cast<char32_t>(high << 8 | low);
  };
  for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
    char32_t c = unit(at);
    if (c >= 0xD800 && c <= 0xDBFF && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 && unit(at + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
      at += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(text, c);
  }
  return text;
}

std::string TextToStored(const SystemInfo& system, const std::string& text) {
  if (std::optional<std::string> ansi = system.Utf8ToAnsi(text)) return *ansi;
  return kUtf8Bom + text;
}

std::string Utf8Prefix(const std::string& text, size_t bytes) {
  if (text.size() <= bytes) return text;
  size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace tw
