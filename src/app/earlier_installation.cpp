#include "app/earlier_installation.h"

#include "app/main_frame.h"
#include "install/product_places.h"
#include "platform/text.h"

namespace tw {
namespace {

void RemoveEarlierInstallation(CMainFrame& frame) {
  Platform& platform = frame.GetPlatform();
  const ProductPlaces places = frame.Places();
  const std::string program = places.uninstaller;
  const std::string arguments = frame.ExpandPlaceholders(" \"/S\" <ProductCode>");
  const std::string key = frame.ExpandPlaceholders(std::string(kUninstallKey) + "<ProductCode>");
  const std::string displayName = ReadFullAccessValue(platform.registry, places.root, key, "DisplayName");
  if (displayName.empty()) {
    frame.GetTrace().Write("upgrade", "remove-earlier", {{"registered", "no"}});
    return;
  }
  // A preview changes nothing on the machine, least of all by removing the product it would replace.
  if (frame.Flags().previewMode == kOn) {
    frame.GetTrace().Write("upgrade", "remove-earlier",
                           {{"registered", displayName}, {"program", program}, {"result", "skipped-preview"}});
    return;
  }
  // The earlier uninstaller runs silently; its outcome is its own business.
  const bool started = platform.shell.RunAndWait(program, arguments).has_value();
  frame.GetTrace().Write("upgrade", "remove-earlier",
                         {{"registered", displayName}, {"program", program}, {"arguments", arguments},
                          {"result", started ? "ran" : "not-started"}});
}

// The earlier folder from the product's uninstall registration.
std::string AutoDetectedFolder(CMainFrame& frame) {
  const Registry& registry = frame.GetPlatform().registry;
  const std::string key = std::string(kUninstallKey) + frame.Host().ProductCode;
  const RegRoot root = frame.Places().root;
  std::string folder = ReadFullAccessValue(registry, root, key, "LastInstallationPath");
  if (folder.empty()) folder = ReadFullAccessValue(registry, root, key, "InstallLocation");
  return folder;
}

// The earlier folder from the value the author named as "ROOT\key\path\value".
std::string NamedValueFolder(CMainFrame& frame) {
  const std::string path = frame.ReadSetting("APPINFO", "a28", kCountBuffer);
  size_t first = path.find('\\'), last = path.rfind('\\');
  if (first == std::string::npos) return "";
  const std::string rootName = path.substr(0, first);
  const std::string key = first == last ? "" : path.substr(first + 1, last - first - 1);
  const std::string name = path.substr(last + 1);
  if (rootName != "HKEY_LOCAL_MACHINE" && rootName != "HKEY_CURRENT_USER") return "";
  RegRoot root = rootName == "HKEY_LOCAL_MACHINE" ? RegRoot::LocalMachine : RegRoot::CurrentUser;
  return ReadFullAccessValue(frame.GetPlatform().registry, root, key, name);
}

}  // namespace

std::string ReadFullAccessValue(const Registry& registry, RegRoot root, const std::string& key,
                                const std::string& name) {
  if (!registry.CanOpen(root, key, RegAccess::All)) return "";
  return registry.ReadString(root, key, name).value_or("");
}

bool CheckRights(CMainFrame& frame) {
  // A per-user installation writes nothing a standard user may not; /ALLUSERS always needs the rights.
  bool needed = frame.Host().CommandLineScope == InstallScope::kAllUsers ||
                (IsYes(frame.ReadSetting("APPINFO", "a7", kCountBuffer)) && !frame.Host().PerUser);
  bool refused = needed && frame.Host().NoProgramFilesDir;
  frame.GetTrace().Write("rights", "check", {{"required", needed ? "yes" : "no"}, {"result", refused ? "refused" : "ok"}});
  if (refused) frame.Dialogs().ShowError("Sorry, you need administrator rights to install this software.");
  return !refused;
}

void DetectEarlierInstallation(CMainFrame& frame) {
  const std::string mode = frame.ReadSetting("APPINFO", "a26", kCountBuffer);
  if (mode == "New Installation") {
    if (IsYes(frame.ReadSetting("APPINFO", "a29", kCountBuffer))) RemoveEarlierInstallation(frame);
    return;
  }
  if (mode != "Upgrade") return;
  bool autoDetect = frame.ReadSetting("APPINFO", "a27", kCountBuffer) == "Auto-Detect";
  std::string folder = autoDetect ? AutoDetectedFolder(frame) : NamedValueFolder(frame);
  frame.GetTrace().Write("upgrade", "detect",
                         {{"method", autoDetect ? "auto" : "value"}, {"folder", folder}});
  if (folder.empty()) return;
  frame.SetInstallDir(WithBackslash(folder));
}

}  // namespace tw
