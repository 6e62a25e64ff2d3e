// The service manager over the Service Control Manager (ANSI calls); every handle is closed on
// every path.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace tw {

ServiceResult Win32Services::Create(const ServiceSpec& spec) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return ServiceResult::NoManager;
  // No load-order group, tag, dependencies, account or password: the service runs as the local
  // system account.
  SC_HANDLE service = CreateServiceA(manager, spec.name.c_str(), spec.displayName.c_str(), SERVICE_ALL_ACCESS,
                                     spec.type, spec.startType, spec.errorControl, spec.path.c_str(), nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
  ServiceResult result = service ? ServiceResult::Created : ServiceResult::Refused;
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return result;
}

}  // namespace tw
