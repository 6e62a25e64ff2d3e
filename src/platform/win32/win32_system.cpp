// System information, profile files and the message-box/message-loop part of the UI over Win32.
#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>
#include <psapi.h>

#include <cpuid.h>

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <vector>

#include "platform/win32/win32_page.h"
#include "platform/win32/win32_platform.h"

namespace tw {

std::string Win32ProfileFiles::ReadValue(const std::string& file, const std::string& section,
                                         const std::string& key, const std::string& fallback,
                                         int bufferSize) const {
  if (bufferSize <= 0) return std::string();
  std::vector<wchar_t> buffer(static_cast<size_t>(bufferSize) + 1, L'\0');
  DWORD length = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(fallback).c_str(),
                                          buffer.data(), static_cast<DWORD>(bufferSize), Wide(file).c_str());
  return Narrow(std::wstring(buffer.data(), length));
}

bool Win32ProfileFiles::WriteValue(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& value) {
  return WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                    Wide(file).c_str()) != 0 ||
         NoteLastError();
}

namespace {

std::string FromBuffer(const wchar_t* buffer, UINT length, UINT capacity) {
  if (length == 0 || length >= capacity) return std::string();
  return Narrow(std::wstring(buffer, length));
}

}  // namespace

std::string Win32SystemInfo::WindowsFolder() const {
  wchar_t buffer[MAX_PATH] = {};
  return FromBuffer(buffer, GetWindowsDirectoryW(buffer, MAX_PATH), MAX_PATH);
}

std::string Win32SystemInfo::SystemFolder() const {
  wchar_t buffer[MAX_PATH] = {};
  return FromBuffer(buffer, GetSystemDirectoryW(buffer, MAX_PATH), MAX_PATH);
}

// Where Windows has GetTempPath2 (current Windows 10 and 11), a process running as SYSTEM gets the
// system's own temp folder, which only the system may use, rather than the Windows folder's Temp,
// where every user may create files.
std::string Win32SystemInfo::TempFolder() const {
  using TempPath2 = DWORD(WINAPI*)(DWORD, LPWSTR);
  static const auto tempPath2 = reinterpret_cast<TempPath2>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"KERNEL32.DLL"), "GetTempPath2W")));
  if (tempPath2) {
    wchar_t wide[MAX_PATH + 1] = {};
    const DWORD length = tempPath2(MAX_PATH + 1, wide);
    if (length > 0 && length <= MAX_PATH) return Narrow(std::wstring(wide, length));
  }
  wchar_t buffer[MAX_PATH + 1] = {};
  return FromBuffer(buffer, GetTempPathW(MAX_PATH + 1, buffer), MAX_PATH + 1);
}

std::string Win32SystemInfo::SpecialFolder(int csidl) const {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) return std::string();
  wchar_t buffer[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListW(list, buffer);
  CoTaskMemFree(list);
  return ok ? Narrow(buffer) : std::string();
}

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

// The device a letter names: "\??\C:\folder" (or "\??\UNC\server\share") for a substituted drive,
// "\Device\<redirector>\;W:<session>\server\share" for a network drive, a volume device otherwise.
std::optional<std::string> Win32SystemInfo::DriveTarget(char letter) const {
  const wchar_t drive[3] = {static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(letter))), L':', 0};
  std::vector<wchar_t> buffer(32768);
  if (!QueryDosDeviceW(drive, buffer.data(), static_cast<DWORD>(buffer.size()))) return std::nullopt;
  const std::wstring device = buffer.data();
  if (StartsWith(device, L"\\??\\UNC\\")) return "\\\\" + Narrow(device.substr(8));
  if (StartsWith(device, L"\\??\\") && device.size() >= 6 && device[5] == L':') return Narrow(device.substr(4));
  const wchar_t* const redirectors[] = {L"\\Device\\LanmanRedirector\\", L"\\Device\\Mup\\",
                                        L"\\Device\\WebDavRedirector\\"};
  for (const wchar_t* redirector : redirectors) {
    if (!StartsWith(device, redirector)) continue;
    std::wstring share = device.substr(wcslen(redirector));
    // The session part, ";W:0000000000012345", is the redirector's own and not a server name.
    if (!share.empty() && share[0] == L';') share.erase(0, std::min(share.find(L'\\'), share.size()));
    while (!share.empty() && share[0] == L'\\') share.erase(0, 1);
    return "\\\\" + Narrow(share);
  }
  return std::nullopt;
}

// Upper-cased as wide characters, whatever the script, and kept as UTF-8 so that no two characters
// the code page cannot tell apart become one key.
std::string Win32SystemInfo::CaseKey(const std::string& text) const {
  std::wstring wide = Wide(text);
  if (wide.empty()) return text;
  CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
  const int size = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return text;
  std::string key(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &key[0], length, nullptr, nullptr);
  return key;
}

std::string Win32SystemInfo::UserName() const {
  wchar_t buffer[257] = {};
  DWORD size = 257;
  return GetUserNameW(buffer, &size) ? Narrow(buffer) : std::string();
}

LocalTime Win32SystemInfo::Now() const {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

uint32_t Win32SystemInfo::TickCount() const { return GetTickCount(); }

std::optional<std::string> Win32SystemInfo::Environment(const std::string& name) const {
  const std::wstring wideName = Wide(name);
  DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  DWORD length = GetEnvironmentVariableW(wideName.c_str(), &value[0], size);
  if (length >= size) return std::nullopt;
  value.resize(length);
  return Narrow(value);
}

OsVersion Win32SystemInfo::Version() const {
  static const OsVersion cached = [] {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
      // Systems before the extended query answer only the short form.
      info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
      if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return OsVersion{};
    }
    return OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId};
  }();
  return cached;
}

uint64_t Win32SystemInfo::TotalPhysicalMemory() const {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (GlobalMemoryStatusEx(&status)) return status.ullTotalPhys;
  MEMORYSTATUS old = {};
  old.dwLength = sizeof old;
  GlobalMemoryStatus(&old);
  return old.dwTotalPhys;
}

int Win32SystemInfo::ScreenWidth() const { return GetSystemMetrics(SM_CXSCREEN); }

int Win32SystemInfo::ScreenHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

int Win32SystemInfo::BitsPerPixel() const {
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

std::optional<CpuRegisters> Win32SystemInfo::CpuId(uint32_t leaf) const {
  // __get_cpuid first checks that the instruction exists (the ID flag on old 32-bit processors).
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(leaf, &eax, &ebx, &ecx, &edx)) {
    if (__get_cpuid_max(0, nullptr) == 0) return std::nullopt;
    return CpuRegisters{};
  }
  return CpuRegisters{eax, ebx, ecx, edx};
}

std::string Win32SystemInfo::ProgramName() const {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "setup";
  std::string name = Narrow(std::wstring(buffer, length));
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// Asked in wide characters with a long buffer: a Downloads folder under a long or non-ANSI user name
// must still name the very file, since the single-file build reads its own bytes through it.
std::string Win32SystemInfo::ProgramPath() const {
  std::wstring buffer(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return "";
  buffer.resize(length);
  return Narrow(buffer);
}

// Looked up at run time: systems before 2000 lack the function, and then no language is detected.
int Win32SystemInfo::UiLanguage() const {
  HMODULE kernel = GetModuleHandleW(L"KERNEL32.DLL");
  if (!kernel) return 0;
  using Function = LANGID(WINAPI*)();
  auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemDefaultUILanguage")));
  return function ? function() : 0;
}

// Looked up at run time too, in kernel32 where Windows 7 and later keep it, so setup.exe does not
// import psapi.dll; older systems answer 0.
uint64_t Win32SystemInfo::PeakWorkingSetKb() const {
  HMODULE kernel = GetModuleHandleW(L"KERNEL32.DLL");
  if (!kernel) return 0;
  using Function = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
  auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, "K32GetProcessMemoryInfo")));
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!function || !function(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize / 1024;
}

int Win32SystemInfo::CaptionHeight() const {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return GetSystemMetrics(SM_CYCAPTION);
  return metrics.iCaptionHeight;
}

uint32_t Win32SystemInfo::FaceColor() const { return GetSysColor(COLOR_BTNFACE); }

Win32Ui::Win32Ui() = default;

Win32Ui::~Win32Ui() {
  if (socketsStarted_) WSACleanup();
}

bool Win32Ui::InitSockets() {
  WSADATA data;
  // The result is the failure's code itself; WSAGetLastError is not to be trusted before this works.
  const int result = WSAStartup(MAKEWORD(1, 1), &data);
  socketsStarted_ = result == 0;
  return socketsStarted_ || NoteError(static_cast<uint32_t>(result));
}

bool Win32Ui::LoadRichEdit() { return LoadLibraryW(L"RICHED32.DLL") != nullptr || NoteLastError(); }

int Win32Ui::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style, NativeWindow owner) {
  return MessageBoxW(static_cast<HWND>(owner.handle), Wide(text).c_str(), Wide(caption).c_str(),
                     style | MB_SETFOREGROUND);
}

void Win32Ui::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

int Win32Ui::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (Win32PageWindow::RouteMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled out because older headers lack it.
constexpr DWORD kSearchSystem32 = 0x00000800;

void HardenDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                 reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                           : nullptr;
  if (setDefault) setDefault(kSearchSystem32);
  // Older systems without the call still lose the current folder from the search.
  SetDllDirectoryW(L"");
}

std::string ProcessCommandLine() {
  return Narrow(GetCommandLineW());
}

// The program name is skipped as the C runtime skips it for WinMain: a quoted name to its closing
// quote, otherwise to the first blank; then the blanks after it.
std::string ProcessArguments() {
  const std::wstring line = GetCommandLineW() ? GetCommandLineW() : L"";
  size_t at = 0;
  if (!line.empty() && line[0] == L'"') {
    at = line.find(L'"', 1);
    at = at == std::wstring::npos ? line.size() : at + 1;
  }
  while (at < line.size() && line[at] != L' ' && line[at] != L'\t') ++at;
  while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
  return Narrow(line.substr(at));
}

void EndProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

}  // namespace tw
