// UTF-8 for the text the packer writes for other tools (zip member names, winget manifests): the
// project's own text is Windows-1252, the code page setup reads it with.
#pragma once
#include <string>

namespace tw::pack {

// Windows-1252 text as UTF-8; the five bytes the code page leaves out stand for the control
// characters of the same number, as Windows converts them.
std::string Utf8FromAnsi(const std::string& ansi);

// Whether the bytes are well-formed UTF-8: no overlong form, surrogate or value past U+10FFFF.
bool IsUtf8(const std::string& text);

// The characters of UTF-8 text; each byte that starts no well-formed character becomes U+FFFD.
std::u32string DecodeUtf8(const std::string& text);

// One character as UTF-8.
std::string EncodeUtf8(char32_t character);

}  // namespace tw::pack
