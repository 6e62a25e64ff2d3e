// Registering the project's file types below HKEY_CLASSES_ROOT, each logged for the uninstaller.
#include "install/associations.h"

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

// The icon lies in the work folder, where the start page unpacked the setup's files.
void InstallIcon(InstallSession& session, const std::string& iconName) {
  if (!IsPlainName(iconName)) {
    session.trace.Write("install", "association-icon", {{"icon", iconName}, {"result", "no-file-name"}});
    return;
  }
  const std::string source = session.Expand("<TempFolder>" + session.WorkName + "\\" + iconName);
  const std::string target = session.InstallDir() + iconName;
  bool copied = session.platform.files.Copy(source, target, true);
  session.trace.Write("install", "association-icon",
                      {{"from", source}, {"to", target}, {"result", copied ? "ok" : "failed"}});
  // A file that never arrived is not logged: the uninstaller would only look for it in vain.
  if (copied) session.WriteLogEntry("FILE", target);
}

void RegisterAssociation(InstallSession& session, const Association& item) {
  Registry& registry = session.platform.registry;
  session.WriteLogEntry("REMKEY", std::string(kClassesRoot) + "\\" + item.fileType);
  CreateClassesKey(registry, item.extension);
  session.WriteLogEntry("REMKEY", std::string(kClassesRoot) + "\\" + item.extension);
  CreateClassesKey(registry, item.fileType + "\\DefaultIcon");
  CreateClassesKey(registry, item.fileType + "\\shell\\Open\\Command\\");

  bool written = SetDefault(registry, item.extension, item.fileType);
  written &= SetDefault(registry, item.fileType, item.description);
  written &= SetDefault(registry, item.fileType + "\\DefaultIcon", session.InstallDir() + item.iconName);
  const std::string command = "\"" + session.Expand(item.program) + "\" " + item.arguments;
  written &= SetDefault(registry, item.fileType + "\\Shell\\Open\\Command\\", command);
  session.trace.Write("install", "association",
                      {{"extension", item.extension}, {"type", item.fileType}, {"command", command},
                       {"result", written ? "ok" : "failed"}});
  InstallIcon(session, item.iconName);
}

}  // namespace

bool CreateClassesKey(Registry& registry, const std::string& path) {
  return CreateKey(registry, kClassesRoot, path);
}

void RegisterAssociations(InstallSession& session) {
  const int total = session.settings.ReadEntryCount("EXTTW");
  for (int i = 0; i < total; ++i) {
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
