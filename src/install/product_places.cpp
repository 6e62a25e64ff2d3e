#include "install/product_places.h"

namespace tw {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

ProductPlaces PlacesFor(const std::string& windowsFolder, const std::string& localAppData, const std::string& code,
                        bool perUser) {
  if (!perUser)
    return {RegRoot::LocalMachine, windowsFolder + "\\Installer\\" + code + "\\", windowsFolder + "\\dovuvi.exe"};
  const std::string base = localAppData + "\\Tarnwick\\";
  return {RegRoot::CurrentUser, base + "Installer\\" + code + "\\", base + "dovuvi.exe"};
}

}  // namespace tw
