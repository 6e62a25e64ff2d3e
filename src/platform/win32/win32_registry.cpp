// Registry service over the Win32 registry API.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::Users: return HKEY_USERS;
    case RegRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CURRENT_USER;
}

REGSAM Sam(RegAccess access) {
  switch (access) {
    case RegAccess::Read: return KEY_READ;
    case RegAccess::Write: return KEY_WRITE;
    case RegAccess::All: return KEY_ALL_ACCESS;
  }
  return KEY_READ;
}

// The registry returns its error rather than setting it; noted for the engine all the same.
bool Succeeded(LONG status) { return status == ERROR_SUCCESS || NoteError(static_cast<uint32_t>(status)); }

// Owns one open key and closes it on every path out.
class OpenKey {
 public:
  OpenKey(RegRoot root, const std::string& key, RegAccess access) {
    if (!Succeeded(RegOpenKeyExW(RootKey(root), Wide(key).c_str(), 0, Sam(access), &key_))) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool SetValue(RegRoot root, const std::string& key, const std::string& name, DWORD type,
              const void* data, size_t size) {
  OpenKey open(root, key, RegAccess::Write);
  return open.get() && Succeeded(RegSetValueExW(open.get(), Wide(name).c_str(), 0, type,
                                                static_cast<const BYTE*>(data), static_cast<DWORD>(size)));
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

constexpr int kMaxKeyDepth = 512;

// A key holding "SymbolicLinkValue" as REG_LINK, opened as itself, is a registry link.
bool IsLinkKey(HKEY key) {
  DWORD type = 0;
  return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
         type == REG_LINK;
}

// Deletes a key through its own handle: RegDeleteKey opens the name again, and through a link it
// would delete the link's target.
bool DeleteOpenKey(HKEY key) {
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  static const auto deleteKey = reinterpret_cast<NtDeleteKeyFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
  if (!deleteKey) return NoteError(ERROR_CALL_NOT_IMPLEMENTED);
  // The native call answers a status, not an error; the one a caller can act on is the refusal.
  return deleteKey(key) == 0 || NoteError(ERROR_ACCESS_DENIED);
}

// Deletes the subkeys first (a key with children cannot go), walking the names exactly as the
// registry gives them. A link met anywhere, the key itself included, is deleted as a key of its
// own and never entered: what it points to belongs to someone else.
bool DeleteKeyTree(HKEY parent, const std::wstring& name, int depth) {
  HKEY open = nullptr;
  if (!Succeeded(RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | DELETE, &open))) return false;
  bool deletable = depth < kMaxKeyDepth;
  if (deletable && !IsLinkKey(open)) {
    wchar_t child[256];
    for (DWORD index = 0;;) {
      DWORD length = 256;
      if (RegEnumKeyExW(open, index, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (!DeleteKeyTree(open, child, depth + 1)) ++index;  // it stays; go on past it
    }
  }
  deletable = deletable && DeleteOpenKey(open);
  RegCloseKey(open);
  return deletable;
}

}  // namespace

bool Win32Registry::CanOpen(RegRoot root, const std::string& key, RegAccess access) const {
  return OpenKey(root, key, access).get() != nullptr;
}

bool Win32Registry::CreateKey(RegRoot root, const std::string& key) {
  HKEY created = nullptr;
  if (!Succeeded(RegCreateKeyExW(RootKey(root), Wide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                 nullptr, &created, nullptr)))
    return false;
  RegCloseKey(created);
  return true;
}

std::optional<std::string> Win32Registry::ReadString(RegRoot root, const std::string& key,
                                                     const std::string& name) const {
  OpenKey open(root, key, RegAccess::Read);
  if (!open.get()) return std::nullopt;
  DWORD type = 0, size = 0;
  const std::wstring wideName = Wide(name);
  if (RegQueryValueExW(open.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = size;
  if (RegQueryValueExW(open.get(), wideName.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(&value[0]), &got) != ERROR_SUCCESS)
    return std::nullopt;
  // The stored data may or may not carry its terminating zero.
  value.resize(got / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return Narrow(value);
}

std::optional<uint32_t> Win32Registry::ReadDword(RegRoot root, const std::string& key,
                                                 const std::string& name) const {
  OpenKey open(root, key, RegAccess::Read);
  if (!open.get()) return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(open.get(), Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return static_cast<uint32_t>(value);
}

bool Win32Registry::IsExpandableString(RegRoot root, const std::string& key, const std::string& name) const {
  OpenKey open(root, key, RegAccess::Read);
  DWORD type = 0;
  return open.get() && RegQueryValueExW(open.get(), Wide(name).c_str(), nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
         type == REG_EXPAND_SZ;
}

bool Win32Registry::WriteString(RegRoot root, const std::string& key, const std::string& name,
                                const std::string& value, bool expandable) {
  const std::wstring wide = Wide(value);
  return SetValue(root, key, name, expandable ? REG_EXPAND_SZ : REG_SZ, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

bool Win32Registry::WriteDword(RegRoot root, const std::string& key, const std::string& name,
                               uint32_t value) {
  DWORD data = value;
  return SetValue(root, key, name, REG_DWORD, &data, sizeof data);
}

bool Win32Registry::WriteBinary(RegRoot root, const std::string& key, const std::string& name,
                                const std::string& bytes) {
  return SetValue(root, key, name, REG_BINARY, bytes.data(), bytes.size());
}

std::optional<RegValue> Win32Registry::ReadRawValue(RegRoot root, const std::string& key,
                                                    const std::string& name) const {
  OpenKey open(root, key, RegAccess::Read);
  if (!open.get()) return std::nullopt;
  DWORD type = 0, size = 0;
  const std::wstring wideName = Wide(name);
  if (RegQueryValueExW(open.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      size > kMaxRegValueBytes)
    return std::nullopt;
  RegValue value{type, std::string(size, '\0')};
  DWORD got = size;
  BYTE* bytes = reinterpret_cast<BYTE*>(value.data.data());
  if (size != 0 && RegQueryValueExW(open.get(), wideName.c_str(), nullptr, &type, bytes, &got) != ERROR_SUCCESS)
    return std::nullopt;
  value.type = type;
  value.data.resize(got);
  // Text values travel as engine text like every other string; an odd last byte is dropped.
  if (IsTextType(type))
    value.data = Narrow(std::wstring(reinterpret_cast<const wchar_t*>(value.data.data()), got / sizeof(wchar_t)));
  return value;
}

bool Win32Registry::WriteRawValue(RegRoot root, const std::string& key, const std::string& name,
                                  const RegValue& value) {
  if (!IsTextType(value.type)) return SetValue(root, key, name, value.type, value.data.data(), value.data.size());
  const std::wstring wide = Wide(value.data);
  return SetValue(root, key, name, value.type, wide.data(), wide.size() * sizeof(wchar_t));
}

bool Win32Registry::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
  OpenKey open(root, key, RegAccess::Write);
  return open.get() && Succeeded(RegDeleteValueW(open.get(), Wide(name).c_str()));
}

bool Win32Registry::DeleteTree(RegRoot root, const std::string& key) {
  const std::wstring name = Wide(key);
  return (!name.empty() || NoteError(ERROR_INVALID_NAME)) && DeleteKeyTree(RootKey(root), name, 0);
}

bool Win32Registry::IsEmptyKey(RegRoot root, const std::string& key) const {
  OpenKey open(root, key, RegAccess::Read);
  DWORD subkeys = 0, values = 0;
  if (!open.get() || RegQueryInfoKeyW(open.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                      nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

}  // namespace tw
