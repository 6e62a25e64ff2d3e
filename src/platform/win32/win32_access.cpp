// What other users and sessions may reach: a work folder only its owner can enter, a lock that
// spans every session on the machine, and the console of the program that started us.
#include <windows.h>
#include <sddl.h>

#include <mutex>
#include <set>
#include <string>

#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

// The current user's SID as text ("S-1-5-21-..."); empty when the token cannot be read.
std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::wstring();
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::wstring text;
  std::string buffer(size, '\0');
  if (size != 0 && GetTokenInformation(token, TokenUser, &buffer[0], size, &size)) {
    wchar_t* sid = nullptr;
    if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(&buffer[0])->User.Sid, &sid)) {
      text = sid;
      LocalFree(sid);
    }
  }
  CloseHandle(token);
  return text;
}

// A security descriptor built from its text form, freed with the object.
class Descriptor {
 public:
  explicit Descriptor(const std::wstring& sddl) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr))
      descriptor_ = nullptr;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
  }
  ~Descriptor() {
    if (descriptor_) LocalFree(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_ = {};
};

// A mutex is the thread's to take again as often as it likes; a lock is not, so the names this
// process holds are kept here too.
std::mutex heldLock;
std::set<std::string> heldHere;

class Win32MachineLock : public MachineLock {
 public:
  Win32MachineLock(HANDLE mutex, std::string name) : mutex_(mutex), name_(std::move(name)) {}
  ~Win32MachineLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
    std::lock_guard<std::mutex> lock(heldLock);
    heldHere.erase(name_);
  }

 private:
  HANDLE mutex_;
  std::string name_;
};

// Everyone may wait on the lock and take it (a standard user's install must see an administrator's
// run); only the system and administrators may change it.
const wchar_t kLockAccess[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)";

HANDLE OpenOrCreateMutex(const std::wstring& name) {
  Descriptor descriptor(kLockAccess);
  HANDLE mutex = CreateMutexW(descriptor.get(), FALSE, name.c_str());
  if (mutex) return mutex;
  // Made by someone whose access list lets us wait on it but not create it again.
  return OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
}

// In the global namespace, so runs in other sessions (a deployment tool's, as SYSTEM) see it; a
// user without the right to create global objects falls back to the session's own namespace.
std::unique_ptr<MachineLock> WaitForMutex(const std::string& name, uint32_t waitMs) {
  HANDLE mutex = OpenOrCreateMutex(L"Global\\" + Wide(name));
  if (!mutex) mutex = OpenOrCreateMutex(L"Local\\" + Wide(name));
  if (!mutex) return nullptr;
  const DWORD waited = WaitForSingleObject(mutex, waitMs);
  // An abandoned lock was held by a run that ended without letting go: it is ours now.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return std::make_unique<Win32MachineLock>(mutex, name);
  CloseHandle(mutex);
  return nullptr;
}

}  // namespace

// The folder's access list is its own (inheriting nothing from a temp folder where every user may
// create files): full control for the system, administrators and this user.
bool Win32FileSystem::MakePrivateFolder(const std::string& path) {
  const std::wstring user = CurrentUserSid();
  if (user.empty()) return false;
  Descriptor descriptor(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + L")");
  if (!descriptor.get()) return false;
  std::wstring wide = Wide(path);
  while (wide.size() > 3 && wide.back() == L'\\') wide.pop_back();
  return !wide.empty() && CreateDirectoryW(wide.c_str(), descriptor.get()) != 0;
}

std::unique_ptr<MachineLock> Win32Shell::TakeMachineLock(const std::string& name, uint32_t waitMs) {
  {
    std::lock_guard<std::mutex> lock(heldLock);
    if (!heldHere.insert(name).second) return nullptr;
  }
  std::unique_ptr<MachineLock> taken = WaitForMutex(name, waitMs);
  if (!taken) {
    std::lock_guard<std::mutex> lock(heldLock);
    heldHere.erase(name);
  }
  return taken;
}

bool Win32Shell::WriteToParentConsole(const std::string& text) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  HANDLE out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  // Written as wide characters: the console shows them whatever its output code page.
  const std::wstring wide = Wide(text);
  DWORD written = 0;
  const bool wrote = out != INVALID_HANDLE_VALUE &&
                     WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
                     written == wide.size();
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  FreeConsole();
  return wrote;
}

}  // namespace tw
