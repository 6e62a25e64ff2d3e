// Where an installed product keeps its registration, its log folder and the uninstaller. A
// machine-wide installation uses HKEY_LOCAL_MACHINE and the Windows folder, as every installation
// did before per-user installs; one for the current user alone uses HKEY_CURRENT_USER and the
// user's local application data, which a standard user may write.
#pragma once
#include <string>

#include "platform/registry.h"

namespace tw {

constexpr int kLocalAppDataCsidl = 0x1c;
extern const char kUninstallKey[];  // the key under the root that lists installed programs

struct ProductPlaces {
  RegRoot root = RegRoot::LocalMachine;
  std::string logDir;       // with a trailing backslash
  std::string uninstaller;  // the dovuvi.exe every product of this scope shares
};

// windowsFolder and localAppData without a trailing backslash.
ProductPlaces PlacesFor(const std::string& windowsFolder, const std::string& localAppData, const std::string& code,
                        bool perUser);

}  // namespace tw
