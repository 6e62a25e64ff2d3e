// Engine text (UTF-8) and the wide text the W functions take, converted at the seam; and the
// machine's ANSI code page, which only stored project bytes and stored outputs are read or written in.
// Also the system's own texts for its errors, and the note of a failed call's error.
#include <windows.h>

#include <string>

#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length) != length) return std::wstring();
  return wide;
}

// usedDefault, when given, is set when a character had no spelling in the code page (UTF-8 has
// one for every character, and the system refuses the flag for it).
std::string FromWide(UINT codePage, const std::wstring& text, bool* usedDefault) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  BOOL defaulted = FALSE;
  BOOL* flag = usedDefault ? &defaulted : nullptr;
  // WC_NO_BEST_FIT_CHARS: a fullwidth backslash must not become a backslash in the ANSI bytes.
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, flag);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(codePage, flags, text.data(), size, &narrow[0], length, nullptr, flag) != length)
    return std::string();
  if (usedDefault) *usedDefault = defaulted != FALSE;
  return narrow;
}

}  // namespace

std::wstring Wide(const std::string& text) { return ToWide(CP_UTF8, text); }

std::string Narrow(const std::wstring& text) { return FromWide(CP_UTF8, text, nullptr); }

std::string Narrow(const wchar_t* text) { return text ? Narrow(std::wstring(text)) : std::string(); }

std::string WindowTextOf(void* window) {
  HWND handle = static_cast<HWND>(window);
  int length = GetWindowTextLengthW(handle);
  if (length <= 0) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(handle, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Narrow(text);
}

std::string AnsiForLibrary(const std::string& text) { return FromWide(CP_ACP, Wide(text), nullptr); }

std::string AnsiToUtf8Text(const std::string& bytes) { return Narrow(ToWide(CP_ACP, bytes)); }

std::string Win32SystemInfo::AnsiToUtf8(const std::string& bytes) const { return AnsiToUtf8Text(bytes); }

std::optional<std::string> Win32SystemInfo::Utf8ToAnsi(const std::string& text) const {
  const std::wstring wide = Wide(text);
  bool usedDefault = false;
  std::string bytes = FromWide(CP_ACP, wide, &usedDefault);
  // A character the code page spells only by best fit, or not at all, does not fit; neither does
  // one whose bytes would read back as another.
  if (usedDefault || ToWide(CP_ACP, bytes) != wide) return std::nullopt;
  return bytes;
}

bool NoteLastError() { return NoteError(GetLastError()); }

bool NoteError(uint32_t code) {
  NoteSystemError(code);
  return false;
}

// WinINet's errors live in its own message table, not the system's.
std::string Win32SystemInfo::ErrorText(SystemError error) const {
  if (!error) return std::string();
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
  HMODULE wininet = nullptr;
  if (error.code >= 12000 && error.code <= 12175 && (wininet = GetModuleHandleW(L"wininet.dll")))
    flags |= FORMAT_MESSAGE_FROM_HMODULE;
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(flags, wininet, error.code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 || !buffer) return std::string();
  std::wstring text(buffer, length);
  LocalFree(buffer);
  // One line in the engine's dialogs and trace: line breaks inside become blanks, and the
  // closing blanks and period go.
  for (wchar_t& c : text)
    if (c == L'\r' || c == L'\n') c = L' ';
  while (!text.empty() && (text.back() == L' ' || text.back() == L'.')) text.pop_back();
  return Narrow(text);
}

void Win32SystemInfo::Pause(uint32_t milliseconds) const { Sleep(milliseconds); }

}  // namespace tw
