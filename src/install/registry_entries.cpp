// Creating the project's registry keys and writing its values, each logged for the uninstaller.
#include "install/registry_entries.h"

#include <algorithm>
#include <vector>

#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {

// Searched in this order; the first found anywhere in a key path names its root.
constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                      "HKEY_CURRENT_CONFIG"};

enum class ValueKind { String, Dword, Binary, Unknown };

std::string Cut(const std::string& text, size_t limit) { return Utf8Prefix(text, limit); }

std::vector<int> Entries(InstallSession& session, const char* section) {
  return session.settings.EntryIndices(section, kRegistryCountBuffer);
}

const char* RootNamedIn(const std::string& path) {
  for (const char* root : kRootNames)
    if (path.find(root) != std::string::npos) return root;
  return nullptr;
}

ValueKind KindOf(const std::string& type) {
  if (type == "0" || type == "String") return ValueKind::String;
  if (type == "1" || type == "DWORD") return ValueKind::Dword;
  if (type == "2" || type == "Binary") return ValueKind::Binary;
  return ValueKind::Unknown;
}

// The keys above path, below the root's first level, that the installation owns, top first: those
// that do not exist yet (it makes them, so the uninstaller may take them once they are empty
// again) and those an earlier installation of the product made.
std::vector<std::string> OwnedParents(InstallSession& session, const char* rootName, const std::string& path) {
  std::vector<std::string> owned;
  const std::string prefix = std::string(rootName) + "\\";
  std::optional<RegRoot> root = RegRootFromName(rootName);
  if (!root || path.compare(0, prefix.size(), prefix) != 0) return owned;
  const std::string key = path.substr(prefix.size());
  size_t first = key.find('\\');
  for (size_t cut = first == std::string::npos ? first : key.find('\\', first + 1); cut != std::string::npos;
       cut = key.find('\\', cut + 1)) {
    const std::string parent = prefix + key.substr(0, cut);
    if (!session.platform.registry.CanOpen(*root, key.substr(0, cut), RegAccess::Read) ||
        session.Earlier.Owns("REGKEY", parent))
      owned.push_back(parent);
  }
  return owned;
}

}  // namespace

std::string KeyPathOf(const std::string& fullPath) {
  std::string keyPath = Cut(fullPath, kRegistryKeyText);
  for (const char* name : kRootNames) ReplaceAll(keyPath, std::string(name) + "\\", "");
  return keyPath;
}

void CreateRegistryKeys(InstallSession& session) {
  for (int i : Entries(session, "REGISTRYKEYS")) {
    std::string path = session.settings.ReadSetting("REGISTRYKEYS", std::to_string(i));
    if (!path.empty() && path.back() == '\\') path.pop_back();
    const char* root = RootNamedIn(path);
    if (!root) {
      session.trace.Write("install", "regkey-skipped", {{"key", path}, {"reason", "no-root"}});
      continue;
    }
    std::string expanded = session.Expand(path);
    Registry& registry = session.platform.registry;
    // A key that was there is someone else's (or the system's): only what the installation makes
    // is logged, so the uninstaller never takes a key the product found.
    const bool existed = registry.CanOpen(*RegRootFromName(root), KeyPathOf(expanded), RegAccess::Read);
    for (const std::string& parent : OwnedParents(session, root, expanded)) {
      if (!registry.CanOpen(*RegRootFromName(root), KeyPathOf(parent), RegAccess::Read)) session.Made("REGKEY", parent);
      session.WriteLogEntry("REGKEY", parent);
    }
    session.LogIfOwned("REGKEY", expanded, !existed);
    ClearSystemError();  // the existence tests above fail on every key not there yet
    bool created = CreateKey(registry, root, expanded);
    session.trace.WriteResult("install", "regkey", {{"key", expanded}}, created);
  }
}

void WriteRegistryValues(InstallSession& session) {
  const int buffer = static_cast<int>(kRegistryValueText) + 1;
  for (int i : Entries(session, "REGISTRY")) {
    const std::string n = std::to_string(i);
    std::string fullKey = session.settings.ReadSetting("REGISTRY", "A" + n, buffer);
    std::string valueName = session.settings.ReadSetting("REGISTRY", "B" + n, buffer);
    std::string data = session.Expand(session.settings.ReadSetting("REGISTRY", "C" + n, buffer));
    std::string type = session.settings.ReadSetting("REGISTRY", "D" + n, buffer);

    size_t cut = fullKey.find('\\');
    std::string root = fullKey.substr(0, cut);
    std::string keyPath = cut == std::string::npos ? std::string() : fullKey.substr(cut + 1);
    // One "\\" between key and name whether or not the project's key text ends in one, so the
    // uninstaller finds the value it names.
    std::string key = keyPath;
    while (!key.empty() && key.back() == '\\') key.pop_back();
    const std::string logged = root + "\\" + (key.empty() ? "" : key + "\\") + valueName;
    // A value that was there is put back by the uninstaller, not deleted.
    if (std::optional<RegRoot> rootKey = RegRootFromName(root))
      session.NotePriorValue(*rootKey, Cut(keyPath, kRegistryValueText), Cut(valueName, kRegistryValueText), logged);
    ClearSystemError();  // reading the earlier value fails on every value not there yet
    bool written = WriteValue(session.platform.registry, root, keyPath, valueName, data, type);
    session.trace.WriteResult("install", "regval",
                        {{"key", fullKey}, {"name", valueName}, {"type", type}}, written);
    // A value that could not be written was not made by the installation: logging it would have
    // the uninstaller delete whatever holds that name later.
    session.LogIfOwned("REGVAL", logged, written);
  }
}

bool CreateKey(Registry& registry, const std::string& rootName, const std::string& fullPath) {
  std::optional<RegRoot> root = RegRootFromName(rootName);
  if (!root) return false;
  const std::string keyPath = KeyPathOf(fullPath);
  if (registry.CanOpen(*root, keyPath, RegAccess::All)) return true;
  return registry.CreateKey(*root, keyPath);
}

bool WriteValue(Registry& registry, const std::string& rootName, const std::string& keyPath,
                const std::string& valueName, const std::string& data, const std::string& type) {
  std::optional<RegRoot> root = RegRootFromName(rootName);
  ValueKind kind = KindOf(type);
  if (!root || kind == ValueKind::Unknown) return false;
  const std::string key = Cut(keyPath, kRegistryValueText), name = Cut(valueName, kRegistryValueText);
  const std::string text = Cut(data, kRegistryValueText);
  // Values go only into keys that exist; keys are the business of CreateRegistryKeys.
  if (!registry.CanOpen(*root, key, RegAccess::Write)) return false;
  switch (kind) {
    case ValueKind::String:
      return registry.WriteString(*root, key, name, text, false);
    case ValueKind::Dword:
      return registry.WriteDword(*root, key, name, static_cast<uint32_t>(ToNumber(text)));
    case ValueKind::Binary:
      return registry.WriteBinary(*root, key, name, text + '\0');
    case ValueKind::Unknown:
      break;
  }
  return false;
}

}  // namespace tw
