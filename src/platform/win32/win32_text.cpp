// Engine text (the system code page) and the wide text the W functions take, converted at the seam.
#include <windows.h>

#include <string>

#include "platform/win32/win32_platform.h"

namespace tw {

std::wstring Wide(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length) != length) return std::wstring();
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string Narrow(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], length, nullptr, nullptr) != length)
    return std::string();
  narrow.resize(static_cast<size_t>(length - 1));
  return narrow;
}

}  // namespace tw
