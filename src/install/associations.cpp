// Registering the project's file types below HKEY_CLASSES_ROOT, each logged for the uninstaller.
#include "install/associations.h"

#include <vector>

#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "install/registry_entries.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {

const char kClassesRoot[] = "HKEY_CLASSES_ROOT";

struct Association {
  std::string program, extension, fileType, description, arguments, iconName;
};

Association ReadAssociation(const ProjectSettings& settings, int index) {
  const std::string n = std::to_string(index);
  auto read = [&](const char* letter) { return settings.ReadSetting("EXTTW", letter + n, kCountBuffer); };
  // "F" is part of the record but means nothing to the engine.
  return {read("B"), read("C"), read("D"), read("E"), read("G"), LastComponent(read("H"))};
}

// An empty name (or one of backslashes only) would stand for HKEY_CLASSES_ROOT itself, and its
// "REMKEY" entry would have the uninstaller remove every class on the machine.
bool NamesAKey(const std::string& name) { return name.find_first_not_of("\\ ") != std::string::npos; }

// "", "." and ".." would name the install folder or its parent rather than a file in it.
bool IsPlainName(const std::string& name) { return name.find_first_not_of(". ") != std::string::npos; }

bool SetDefault(Registry& registry, const std::string& key, const std::string& value) {
  return WriteValue(registry, kClassesRoot, key, "", value, "String");
}

std::string ClassesPath(const std::string& key) { return std::string(kClassesRoot) + "\\" + key; }

bool ClassesKeyExists(InstallSession& session, const std::string& key) {
  return session.platform.registry.CanOpen(RegRoot::ClassesRoot, WithoutTrailingBackslash(key), RegAccess::Read);
}

// Sets a key's default value. Under a key the installation made, its "REMKEY" entry takes the
// value with it; under a key that was there (an association taken over), the value is logged on
// its own and what it held before is recorded, so the uninstaller puts it back.
bool SetOwnedDefault(InstallSession& session, const std::string& key, const std::string& value, bool keyIsOurs) {
  const std::string logged = ClassesPath(WithoutTrailingBackslash(key)) + "\\";
  if (!keyIsOurs) session.NotePriorValue(RegRoot::ClassesRoot, key, "", logged);
  bool written = SetDefault(session.platform.registry, key, value);
  if (!keyIsOurs) session.LogIfOwned("REGVAL", logged, written);
  return written;
}

// The icon lies in the work folder, where the start page unpacked the setup's files.
void InstallIcon(InstallSession& session, const std::string& iconName) {
  if (!IsPlainName(iconName)) {
    session.trace.Write("install", "association-icon", {{"icon", iconName}, {"result", "no-file-name"}});
    return;
  }
  const std::string source = session.Expand("<TempFolder>" + session.host.WorkName + "\\" + iconName);
  const std::string target = session.InstallDir() + iconName;
  const bool existed = session.platform.files.Exists(target);
  ClearSystemError();
  bool copied = session.platform.files.Copy(source, target, true);
  if (copied) session.MadeFile(target, existed);
  session.trace.WriteResult("install", "association-icon",
                      {{"from", source}, {"to", target}}, copied);
  // A file that never arrived is not logged: the uninstaller would only look for it in vain.
  if (copied) session.WriteLogEntry("FILE", target);
}

// The keys below a file type that the association writes into.
constexpr const char* kTypeSubkeys[] = {"DefaultIcon", "shell", "shell\\Open", "shell\\Open\\Command"};

void RegisterAssociation(InstallSession& session, const Association& item) {
  Registry& registry = session.platform.registry;
  // A key that was there before belongs to whoever made it (the system's ".txt", another
  // program's file type): it is never logged for removal whole.
  const bool typeExisted = ClassesKeyExists(session, item.fileType);
  const bool typeIsOurs = session.LogIfOwned("REMKEY", ClassesPath(item.fileType), !typeExisted);
  std::vector<std::string> typeKeysMade;
  if (!typeIsOurs)
    for (const char* sub : kTypeSubkeys)
      if (!ClassesKeyExists(session, item.fileType + "\\" + sub) ||
          session.Earlier.Owns("REGKEY", ClassesPath(item.fileType + "\\" + sub)))
        typeKeysMade.push_back(item.fileType + "\\" + sub);
  for (const std::string& key : typeKeysMade)
    if (!ClassesKeyExists(session, key)) session.Made("REGKEY", ClassesPath(key));
  const bool extensionExisted = ClassesKeyExists(session, item.extension);
  CreateClassesKey(registry, item.extension);
  const bool extensionIsOurs = session.LogIfOwned("REMKEY", ClassesPath(item.extension), !extensionExisted);
  CreateClassesKey(registry, item.fileType + "\\DefaultIcon");
  CreateClassesKey(registry, item.fileType + "\\shell\\Open\\Command\\");
  // Keys made below a type that was there (now or by an earlier installation of the product) go
  // when they are empty again, the deepest first.
  for (const std::string& key : typeKeysMade) session.WriteLogEntry("REGKEY", ClassesPath(key));

  ClearSystemError();  // the existence tests above fail on every key not there yet
  bool written = SetOwnedDefault(session, item.extension, item.fileType, extensionIsOurs);
  written &= SetOwnedDefault(session, item.fileType, item.description, typeIsOurs);
  const std::string icon = session.InstallDir() + item.iconName;
  written &= SetOwnedDefault(session, item.fileType + "\\DefaultIcon", icon, typeIsOurs);
  const std::string command = "\"" + session.Expand(item.program) + "\" " + item.arguments;
  written &= SetOwnedDefault(session, item.fileType + "\\Shell\\Open\\Command\\", command, typeIsOurs);
  session.trace.WriteResult("install", "association",
                      {{"extension", item.extension}, {"type", item.fileType}, {"command", command}}, written);
  InstallIcon(session, item.iconName);
}

}  // namespace

bool CreateClassesKey(Registry& registry, const std::string& path) {
  return CreateKey(registry, kClassesRoot, path);
}

void RegisterAssociations(InstallSession& session) {
  for (int i : session.settings.EntryIndices("EXTTW")) {
    Association item = ReadAssociation(session.settings, i);
    if (!NamesAKey(item.extension) || !NamesAKey(item.fileType)) {
      session.trace.Write("install", "association-skipped",
                          {{"extension", item.extension}, {"type", item.fileType}, {"reason", "no-key-name"}});
      continue;
    }
    RegisterAssociation(session, item);
  }
}

}  // namespace tw
