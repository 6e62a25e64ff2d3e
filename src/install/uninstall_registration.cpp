#include "install/uninstall_registration.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "install/payload_copy.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {

constexpr size_t kRegistryText = 255;
constexpr int kMaxCopyDepth = 32;
// A file the author names may be a path, with a drive or not; its name is what follows.
constexpr char kNameSeparators[] = "\\/:";

std::string Cut(const std::string& text) { return Utf8Prefix(text, kRegistryText - 1); }

std::string AppInfo(InstallSession& session, const char* key) { return session.settings.ReadSetting("APPINFO", key); }

bool CopyReplacing(InstallSession& session, const std::string& from, const std::string& to) {
  FileSystem& files = session.platform.files;
  if (!files.Exists(from) || files.IsFolder(from)) return false;
  const bool existed = files.Exists(to);
  ClearSystemError();
  bool copied = files.Copy(from, to, true);
  if (copied) session.MadeFile(to, existed);
  session.trace.WriteResult("install", "copy-support", {{"from", from}, {"to", to}}, copied);
  return copied;
}

// Copies a folder with everything in it into parent (as parent\<name>), never following links.
void CopyTree(FileSystem& files, const std::string& from, const std::string& to, int depth) {
  if (depth > kMaxCopyDepth) return;
  files.MakeFolder(to);
  for (const std::string& name : files.Find(from + "\\*.*")) {
    const std::string source = from + "\\" + name, target = to + "\\" + name;
    auto attributes = files.Attributes(source);
    if (!attributes || (*attributes & kAttrReparsePoint)) continue;
    if (*attributes & kAttrFolder)
      CopyTree(files, source, target, depth + 1);
    else
      files.Copy(source, target, true);
  }
}

// A reinstall that fails gives the registration it rewrote its earlier values back.
void WriteString(InstallSession& session, const std::string& key, const char* name, const std::string& value) {
  session.KeepValue(session.Places.root, key, name);
  session.platform.registry.WriteString(session.Places.root, key, name, Cut(value), false);
}

void WriteDword(InstallSession& session, const std::string& key, const char* name, uint32_t value) {
  session.KeepValue(session.Places.root, key, name);
  session.platform.registry.WriteDword(session.Places.root, key, name, value);
}

// Where a file that travels with the payload is, by build: unpacked into the work folder (cabinet
// build), in the payload folder (disk image), or unpacked with the payload into the install folder
// (split build). Empty when it is in none of them.
std::string ShippedFile(InstallSession& session, const std::string& name) {
  std::vector<std::string> places = {session.Expand("<TempFolder>\\" + session.host.WorkName + "\\"), session.PayloadDir};
  if (session.flags.splitFiles == kOn) places.push_back(WithBackslash(session.InstallDir()));
  FileSystem& files = session.platform.files;
  for (const std::string& place : places)
    if (!place.empty() && files.Exists(place + name) && !files.IsFolder(place + name)) return place + name;
  session.trace.Write("install", "support-file-missing", {{"name", name}});
  return "";
}

// Where a file the author named is found: a path with placeholders as written, a bare name where
// the build keeps its files.
std::string NamedFile(InstallSession& session, const std::string& named) {
  if (named.find('<') != std::string::npos) return session.Expand(named);
  return ShippedFile(session, LastComponent(named, kNameSeparators));
}

// Puts a found file into the install folder and gives the installed path; empty when missing. A
// split build may have unpacked it there already.
std::string InstallBeside(InstallSession& session, const std::string& found) {
  if (found.empty()) return "";
  const std::string installed = session.Expand("<Install Dir>\\" + LastComponent(found, kNameSeparators));
  if (Lower(found) == Lower(installed)) return installed;
  return CopyReplacing(session, found, installed) ? installed : std::string();
}

// Everything registered here lives under a key and a log folder named by the product code; a code
// that is empty or could name another folder would write into the installed-programs list itself
// or share the log of other products.
bool HasUsableProductCode(InstallSession& session, const char* step) {
  const std::string code = AppInfo(session, "a3");
  if (IsPlainFileName(code) && !session.LogDir.empty()) return true;
  session.trace.Write("install", "registration-skipped", {{"step", step}, {"reason", "no-product-code"}, {"code", code}});
  return false;
}

void RegisterLiveUpdate(InstallSession& session, const std::string& key) {
  auto setting = [&](const char* name) { return session.settings.ReadSetting("LIVEUPDATE", name); };
  if (!IsYes(setting("1"))) return;
  WriteString(session, key, "LVmode", session.Expand(setting("2")));
  WriteString(session, key, "LVurl", session.Expand(setting("3")));
  WriteString(session, key, "LVsilent", session.Expand(setting("4")));
  std::string folder = setting("5").empty() ? session.Expand("<Install Dir>") : session.Expand(setting("5"));
  for (const char* name : {"liveupdate.exe", "liveupdate.inf"}) {
    const std::string target = folder + name, found = ShippedFile(session, name);
    // A split build unpacked it in place already; a file that never arrived is not the product's.
    const bool inPlace = !found.empty() && Lower(found) == Lower(target);
    session.LogIfOwned("FILE", target, inPlace || (!found.empty() && CopyReplacing(session, found, target)));
  }
}

void RegisterThemeAndProgram(InstallSession& session, const std::string& key) {
  FileSystem& files = session.platform.files;
  if (files.IsFolder(session.host.SetupDir + "theme"))
    CopyTree(files, session.host.SetupDir + "theme", session.LogDir + "theme", 0);
  const std::string program = AppInfo(session, "a11");
  if (!program.empty()) {
    const std::string installed = InstallBeside(session, NamedFile(session, program));
    if (!installed.empty()) {
      WriteString(session, key, "UninstallExecute", installed);
      WriteString(session, key, "UninstallCmdLine", AppInfo(session, "a12"));
    }
  }
  WriteString(session, key, "UninstallRemoveAll", AppInfo(session, "a13"));
}

// What deployment tools read: the uninstaller by its full path (quoted, as the path may hold
// blanks), a silent removal, where the product went, its size and the day it was installed.
void RegisterCommands(InstallSession& session, const std::string& key, const std::string& code) {
  const std::string uninstaller = "\"" + session.Places.uninstaller + "\"";
  WriteString(session, key, "ModifyPath", uninstaller + " /M " + code);
  WriteString(session, key, "UninstallString", uninstaller + " /R " + code);
  WriteString(session, key, "QuietUninstallString", uninstaller + " /S " + code);
  WriteString(session, key, "InstallLocation", session.InstallDir());
  const uint64_t kilobytes = (session.LoggedFileBytes() + 1023) / 1024;
  WriteDword(session, key, "EstimatedSize", static_cast<uint32_t>(std::min<uint64_t>(kilobytes, UINT32_MAX)));
  const LocalTime now = session.platform.system.Now();
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", now.year, now.month, now.day);
  WriteString(session, key, "InstallDate", date);
}

void RegisterProgramEntry(InstallSession& session, const std::string& key, const std::string& code) {
  WriteString(session, key, "DisplayName", AppInfo(session, "a1"));
  WriteString(session, key, "DisplayVersion", AppInfo(session, "a2"));
  const std::pair<const char*, const char*> optional[] = {{"Publisher", "a19"},     {"Comments", "a20"},
                                                         {"URLInfoAbout", "a21"},  {"URLUpdateInfo", "a22"},
                                                         {"HelpLink", "a24"},      {"HelpTelephone", "a25"}};
  for (const auto& [name, setting] : optional)
    if (std::string text = AppInfo(session, setting); !text.empty()) WriteString(session, key, name, text);
  WriteString(session, key, "LastInstallationPath", session.InstallDir());
  RegisterCommands(session, key, code);
  WriteString(session, key, "InstallSource", session.platform.files.CurrentFolder());
  const std::pair<const char*, const char*> switches[] = {{"NoModify", "a15"}, {"NoRemove", "a16"}, {"NoRepair", "a17"}};
  for (const auto& [name, setting] : switches)
    if (IsYes(AppInfo(session, setting))) WriteDword(session, key, name, 1);
  const std::string icon = AppInfo(session, "a18");
  if (icon.empty()) return;
  const std::string installed = InstallBeside(session, NamedFile(session, icon));
  if (installed.empty()) return;
  session.WriteLogEntry("FILE", installed);
  WriteString(session, key, "DisplayIcon", installed);
}

// The uninstaller in the Windows folder serves every product of this engine: it is replaced only by
// a newer one, never by an older (an older one would undo a newer installation the old way).
void InstallSharedUninstaller(InstallSession& session, const std::string& source) {
  FileSystem& files = session.platform.files;
  const std::string target = session.Places.uninstaller;
  if (files.Exists(target)) {
    const std::string ours = ReadFileVersion(files, source), there = ReadFileVersion(files, target);
    if (CompareFileVersions(ours, there) <= 0) {
      session.trace.Write("install", "shared-uninstaller", {{"ours", ours}, {"there", there}, {"result", "kept"}});
      return;
    }
  }
  CopyReplacing(session, source, target);
}

}  // namespace

void RegisterUninstallProgram(InstallSession& session) {
  if (!HasUsableProductCode(session, "run-at-uninstall")) return;
  const std::string named = AppInfo(session, "a11");
  if (!named.empty()) {
    const std::string program = NamedFile(session, named);
    const std::string name = LastComponent(program, kNameSeparators);
    if (!program.empty() && session.platform.files.Exists(program) && !session.platform.files.IsFolder(program)) {
      CopyReplacing(session, program, session.LogDir + name);
      session.WriteLogEntry("RUN3RD", name);
      session.WriteLogEntry("RUN3RDCMD", session.Expand(AppInfo(session, "a12")));
    }
  }
  if (AppInfo(session, "a13") == "No") session.WriteLogEntry("REMOVEALL", "Yes");
}

void RegisterUninstall(InstallSession& session) {
  if (!HasUsableProductCode(session, "uninstall")) return;
  const std::string uninstaller = ShippedFile(session, "dovuvi.exe");
  if (!uninstaller.empty()) InstallSharedUninstaller(session, uninstaller);
  CopyReplacing(session, session.host.SetupDir + "language.lan", session.LogDir + "language.lan");

  const std::string code = AppInfo(session, "a3");
  const std::string key = Cut(kUninstallKey + code);
  const bool existed = session.platform.registry.CanOpen(session.Places.root, key, RegAccess::Read);
  ClearSystemError();  // the key not being there yet is no reason for a failure to come
  bool opened = session.platform.registry.CreateKey(session.Places.root, key);
  if (opened && !existed) session.Made("REGKEY", std::string(RegRootName(session.Places.root)) + "\\" + key);
  session.trace.WriteResult("install", "uninstall-key",
                      {{"root", RegRootName(session.Places.root)}, {"key", key}}, opened);
  RegisterLiveUpdate(session, key);
  if (IsYes(AppInfo(session, "a10"))) RegisterThemeAndProgram(session, key);
  if (AppInfo(session, "a14") != "No") RegisterProgramEntry(session, key, code);
}

}  // namespace tw
