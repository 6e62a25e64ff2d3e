// Starting programs and the WinINet-backed HTTP client.
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <vector>

#include "platform/win32/win32_platform.h"

namespace tw {

namespace {

// Starts program with a writable copy of its command line (handles inherited, a new console); an
// empty one is passed as none, so the program still sees its own path as its command line.
bool Launch(const std::string& program, const std::string& commandLine, PROCESS_INFORMATION& process) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  const std::wstring wide = Wide(commandLine);
  std::vector<wchar_t> line(wide.begin(), wide.end());
  line.push_back(L'\0');  // CreateProcessW may write into the command line
  return CreateProcessW(Wide(program).c_str(), commandLine.empty() ? nullptr : line.data(), nullptr, nullptr, TRUE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process) != 0 ||
         NoteLastError();
}

}  // namespace

std::optional<uint32_t> Win32Shell::RunAndWait(const std::string& program, const std::string& commandLine) {
  PROCESS_INFORMATION process = {};
  if (!Launch(program, commandLine, process)) return std::nullopt;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  // The process has ended: its code can be read. Should that fail, it ran and counts as done.
  if (!GetExitCodeProcess(process.hProcess, &code)) code = 0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

bool Win32Shell::Start(const std::string& program, const std::string& commandLine) {
  PROCESS_INFORMATION process = {};
  if (!Launch(program, commandLine, process)) return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32Shell::OpenWith(const std::string& target, const std::string& parameters, const std::string& folder) {
  const std::wstring wideParameters = Wide(parameters), wideFolder = Wide(folder);
  HINSTANCE result = ShellExecuteW(nullptr, nullptr, Wide(target).c_str(),
                                   parameters.empty() ? nullptr : wideParameters.c_str(),
                                   folder.empty() ? nullptr : wideFolder.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32 || NoteLastError();
}

std::optional<int> Win32Shell::CallExport(const std::string& library, const std::string& exportName,
                                          const std::string& argument) {
  // By full path, searching only its own folder and the system folder for what it needs, so
  // nothing planted in the current folder is loaded.
  constexpr DWORD kDllLoadDir = 0x00000100, kSystem32 = 0x00000800;
  const std::wstring path = Wide(library);
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, kDllLoadDir | kSystem32);
  if (!module) module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) return std::nullopt;
  using Export = int (*)(char*);
  auto function = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module, exportName.c_str())));
  std::optional<int> result;
  if (function) {
    // The export's contract is a byte string in the ANSI code page, as it always was.
    char buffer[255] = {};
    AnsiForLibrary(argument).copy(buffer, sizeof buffer - 1);
    result = function(buffer);
  }
  FreeLibrary(module);
  return result;
}

// The shutdown privilege is enabled first: without it the system refuses a forced restart.
bool Win32Shell::Restart() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges = {};
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
      privileges.PrivilegeCount = 1;
      privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  return ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0) != 0 || NoteLastError();
}

// The result is the failure's code itself; the system's message table knows its text.
bool Win32Shell::PrepareThread() {
  const HRESULT result = CoInitialize(nullptr);
  return SUCCEEDED(result) || NoteError(static_cast<uint32_t>(result));
}

bool Win32Shell::Open(const std::string& target) {
  HINSTANCE result = ShellExecuteW(nullptr, nullptr, Wide(target).c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
  return reinterpret_cast<INT_PTR>(result) > 32 || NoteLastError();
}

void Win32Shell::EndProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

namespace {

// One WinINet handle, closed with the object.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_;
};

class WinInetRequest : public HttpRequest {
 public:
  explicit WinInetRequest(HINTERNET handle) : handle_(handle) {}
  bool Send() override { return HttpSendRequestW(handle_.get(), nullptr, 0, nullptr, 0) != FALSE || NoteLastError(); }
  std::optional<int> Status() override {
    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoW(handle_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
      return LastErrorAnd(std::optional<int>());
    return static_cast<int>(status);
  }
  std::optional<uint64_t> ContentLength() override {
    DWORD length = 0, size = sizeof length;
    if (!HttpQueryInfoW(handle_.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr))
      return std::nullopt;
    return length;
  }
  int Read(char* buffer, int size) override {
    DWORD read = 0;
    if (!InternetReadFile(handle_.get(), buffer, static_cast<DWORD>(size), &read)) return LastErrorAnd(-1);
    return static_cast<int>(read);
  }

 private:
  InternetHandle handle_;
};

class WinInetConnection : public HttpConnection {
 public:
  explicit WinInetConnection(HINTERNET handle) : handle_(handle) {}
  std::unique_ptr<HttpRequest> OpenGet(const std::string& path, const std::string& acceptType) override {
    const std::wstring wideAccept = Wide(acceptType);
    const wchar_t* accept[] = {wideAccept.c_str(), nullptr};
    HINTERNET request = HttpOpenRequestW(handle_.get(), L"GET", Wide(path).c_str(), nullptr, nullptr, accept,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                             INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_PRAGMA_NOCACHE,
                                         0);
    if (!request) return LastErrorAnd(nullptr);
    return std::make_unique<WinInetRequest>(request);
  }

 private:
  InternetHandle handle_;
};

class WinInetSession : public HttpSession {
 public:
  explicit WinInetSession(HINTERNET handle) : handle_(handle) {}
  std::unique_ptr<HttpConnection> Connect(const std::string& host, int port) override {
    HINTERNET connection = InternetConnectW(handle_.get(), Wide(host).c_str(), static_cast<INTERNET_PORT>(port), nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) return LastErrorAnd(nullptr);
    return std::make_unique<WinInetConnection>(connection);
  }

 private:
  InternetHandle handle_;
};

}  // namespace

std::unique_ptr<HttpSession> Win32Http::OpenSession(const std::string& agent) {
  HINTERNET session = InternetOpenW(Wide(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session) return LastErrorAnd(nullptr);
  return std::make_unique<WinInetSession>(session);
}

}  // namespace tw
