// The service manager over the Service Control Manager (ANSI calls); every handle is closed on
// every path.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_platform.h"

namespace tw {

ServiceResult Win32Services::Create(const ServiceSpec& spec) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) {
    NoteLastError();
    return ServiceResult::NoManager;
  }
  // No load-order group, tag, dependencies, account or password: the service runs as the local
  // system account.
  SC_HANDLE service = CreateServiceW(manager, Wide(spec.name).c_str(), Wide(spec.displayName).c_str(), SERVICE_ALL_ACCESS,
                                     spec.type, spec.startType, spec.errorControl, Wide(spec.path).c_str(), nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
  const DWORD error = service ? ERROR_SUCCESS : GetLastError();
  if (!service) NoteError(error);
  ServiceResult result = service                             ? ServiceResult::Created
                         : error == ERROR_SERVICE_EXISTS ||
                                   error == ERROR_DUPLICATE_SERVICE_NAME ? ServiceResult::Exists
                                                                         : ServiceResult::Refused;
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return result;
}

std::optional<ServiceSpec> Win32Services::Configuration(const std::string& name) const {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) {
    NoteLastError();
    return std::nullopt;
  }
  SC_HANDLE service = OpenServiceW(manager, Wide(name).c_str(), SERVICE_QUERY_CONFIG);
  if (!service) NoteLastError();
  std::optional<ServiceSpec> spec;
  DWORD needed = 0;
  // Asked twice: once for the size of the configuration, once for the configuration itself.
  if (service && !QueryServiceConfigW(service, nullptr, 0, &needed) && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    std::vector<char> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (QueryServiceConfigW(service, config, needed, &needed) || NoteLastError()) {
      spec = ServiceSpec{name, config->lpDisplayName ? Narrow(config->lpDisplayName) : std::string(),
                         config->dwServiceType, config->dwStartType, config->dwErrorControl,
                         config->lpBinaryPathName ? Narrow(config->lpBinaryPathName) : std::string()};
    }
  }
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return spec;
}

bool Win32Services::Update(const ServiceSpec& spec) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return NoteLastError();
  SC_HANDLE service = OpenServiceW(manager, Wide(spec.name).c_str(), SERVICE_CHANGE_CONFIG);
  bool changed = (service || NoteLastError()) &&
                 (ChangeServiceConfigW(service, spec.type, spec.startType, spec.errorControl, Wide(spec.path).c_str(),
                                       nullptr, nullptr, nullptr, nullptr, nullptr, Wide(spec.displayName).c_str()) ||
                  NoteLastError());
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return changed;
}

}  // namespace tw

namespace tw {

ServiceRemoval Win32Services::Remove(const std::string& name) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) {
    NoteLastError();
    return ServiceRemoval::NoManager;
  }
  SC_HANDLE service = OpenServiceW(manager, Wide(name).c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
  if (!service) {
    DWORD error = GetLastError();
    NoteError(error);
    CloseServiceHandle(manager);
    return error == ERROR_SERVICE_DOES_NOT_EXIST ? ServiceRemoval::Missing : ServiceRemoval::Refused;
  }
  // A service that is not running refuses the stop request; that is fine, it is deleted all the same.
  SERVICE_STATUS status{};
  if (ControlService(service, SERVICE_CONTROL_STOP, &status)) {
    for (int waited = 0; waited < 50 && status.dwCurrentState != SERVICE_STOPPED; ++waited) {
      Sleep(100);
      if (!QueryServiceStatus(service, &status)) break;
    }
  }
  const bool deleted = DeleteService(service) || NoteLastError();
  ServiceRemoval result = deleted ? ServiceRemoval::Removed : ServiceRemoval::Refused;
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return result;
}

}  // namespace tw
