// Writing the project's INI entries and keeping the table of the files they go into.
#include "install/ini_entries.h"

#include <optional>

#include "project/host_flags.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {


struct EntryName {
  std::string section, key;
};

// "INI Files\\<file>\\<section>\\<key>[\\]": the first two parts name the file, the third the
// section, the rest (less one trailing "\\") the key. Nothing when a section or key is missing.
std::optional<EntryName> SplitEntryPath(const std::string& entryPath) {
  size_t at = 0;
  for (int part = 0; part < 2; ++part) {
    at = entryPath.find('\\', at);
    if (at == std::string::npos) return std::nullopt;
    ++at;
  }
  size_t cut = entryPath.find('\\', at);
  if (cut == std::string::npos) return std::nullopt;
  EntryName name{entryPath.substr(at, cut - at), WithoutTrailingBackslash(entryPath.substr(cut + 1))};
  if (name.section.empty() || name.key.empty()) return std::nullopt;
  return name;
}

// The last registered file whose identifier is the entry path's file part, compared as Windows
// compares names.
IniFile* FileForEntry(InstallSession& session, const std::string& entryPath) {
  size_t begin = entryPath.find('\\');
  if (begin == std::string::npos) return nullptr;
  size_t end = entryPath.find('\\', begin + 1);
  const std::string name = Lower(entryPath.substr(begin + 1, end == std::string::npos ? std::string::npos : end - begin - 1));
  IniFile* found = nullptr;
  for (IniFile& file : session.IniFiles)
    if (Lower(file.Identifier) == name) found = &file;
  return found;
}

// The uninstaller deletes a logged file whole, so only a file the product created (now, or in an
// earlier installation) is logged: one that was there before holds the user's settings, or
// belongs to the system.
void LogCreatedFile(InstallSession& session, IniFile& file) {
  if (file.Decided) return;
  file.Decided = true;
  session.MadeFile(file.FullPath, file.ExistedBefore);
  session.LogIfOwned("FILE", file.FullPath, !file.ExistedBefore);
}

// A file the user already had gets its whole content back when the run is rolled back: the
// system's INI writer has no way to delete an entry it added.
void KeepContent(InstallSession& session, IniFile& file) {
  if (file.Kept || !file.ExistedBefore || session.flags.previewMode == kOn) return;
  file.Kept = true;
  if (std::optional<std::string> content = session.platform.files.ReadAll(file.FullPath))
    session.Rollback.KeepContent(file.FullPath, *content);
}

}  // namespace

std::string RegisterIniFile(InstallSession& session, const std::string& treePath, const std::string& folder) {
  std::string identifier = WithoutTrailingBackslash(treePath);
  ReplaceAll(identifier, "INI Files\\", "");
  // An empty identifier occurs in every entry path and would take every entry for a folder.
  if (identifier.empty()) {
    session.trace.Write("install", "ini-file-skipped", {{"tree", treePath}, {"reason", "no-file-name"}});
    return "";
  }
  const std::string fullPath = session.Expand(folder + "\\" + identifier);
  for (const IniFile& file : session.IniFiles)
    if (Lower(file.FullPath) == Lower(fullPath)) return file.FullPath;
  if (session.IniFiles.size() >= kMaxIniFiles) {
    session.trace.Write("install", "ini-file-skipped", {{"path", fullPath}, {"reason", "table-full"}});
    return "";
  }
  const bool existed = session.platform.files.Exists(fullPath);
  session.IniFiles.push_back({identifier, fullPath, existed, false, false});
  session.trace.Write("install", "ini-file", {{"id", identifier}, {"path", fullPath}, {"existed", existed ? "yes" : "no"}});
  return fullPath;
}

bool WriteIniEntry(InstallSession& session, const std::string& entryPath, const std::string& value) {
  IniFile* file = FileForEntry(session, entryPath);
  std::optional<EntryName> name = SplitEntryPath(entryPath);
  if (!file || !name) {
    session.trace.Write("install", "ini-entry-skipped",
                        {{"entry", entryPath}, {"reason", file ? "no-section-or-key" : "file-not-registered"}});
    return false;
  }
  const std::string expanded = session.Expand(value);
  KeepContent(session, *file);
  ClearSystemError();  // keeping the content reads a file that may well not be there yet
  bool written = session.platform.profiles.WriteValue(file->FullPath, name->section, name->key, expanded);
  session.trace.WriteResult("install", "ini-entry",
                      {{"file", file->FullPath}, {"section", name->section}, {"key", name->key}, {"value", expanded}}, written);
  if (written) LogCreatedFile(session, *file);
  return written;
}

void WriteIniEntries(InstallSession& session) {
  for (int i : session.settings.EntryIndices("INIINFO")) {
    const std::string n = std::to_string(i);
    RegisterIniFile(session, session.settings.ReadSetting("INIINFO", "A" + n),
                    session.settings.ReadSetting("INIINFO", "C" + n));
  }
  for (int i : session.settings.EntryIndices("INIDATA")) {
    const std::string n = std::to_string(i);
    WriteIniEntry(session, session.settings.ReadSetting("INIDATA", "A" + n),
                  session.settings.ReadSetting("INIDATA", "C" + n));
  }
}

}  // namespace tw
