// The contract suites' Windows side: the real Win32 platform, scratch space in the temp folder.
#include <windows.h>

#include "contract_env.h"
#include "platform/win32/win32_platform.h"

namespace tw {

static Win32Platform& Real() {
  static Win32Platform real;
  return real;
}

Platform& ContractPlatform() { return Real().platform; }

std::string ContractScratchRoot() {
  static const std::string root = [] {
    std::string folder = Real().system.TempFolder() + "tw_contract_" + std::to_string(GetCurrentProcessId()) + "\\";
    Real().files.MakeFolder(folder);
    return folder;
  }();
  return root;
}

std::string ContractHttpServer() { return Real().system.Environment("TW_CONTRACT_HTTP").value_or(""); }

void ContractRemoveService(const std::string& name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return;
  SC_HANDLE service = OpenServiceA(manager, name.c_str(), DELETE);
  if (service) {
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

bool ContractMakeRegistryLink(const std::string& link, const std::string& target) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(link).c_str(), 0, nullptr, REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK,
                      KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring path = L"\\Registry\\Machine\\" + Wide(target);
  bool made = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(path.data()),
                             static_cast<DWORD>(path.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return made;
}

bool ContractMakeFolderLink(const std::string& link, const std::string& target) {
  return CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
}

}  // namespace tw
