// Copying the payload files to their destinations: the per-file steps, the retry dialog, the
// library version gate and placeholder expansion of text files.
#include "install/payload_copy.h"

#include <algorithm>
#include <cctype>

#include "project/host_flags.h"
#include "project/os_tag.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "install/payload_stream.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/fixed_dialogs.h"
#include "support/staged_file.h"

namespace tw {
namespace {

constexpr size_t kVersionText = 250;
constexpr size_t kGatePath = 255;

// A name taken from data must stay inside its folder: "", "." and ".." (and names that Windows
// trims down to them) would name the folder itself or its parent.
bool IsPlainName(const std::string& name) { return name.find_first_not_of(". ") != std::string::npos; }

bool IsUrlEntry(const FileEntry& entry) { return Contains(entry.source, "http:") || Contains(entry.source, "ftp:"); }

std::string Format(const char* before, const std::string& path, const char* after) {
  return std::string(before) + path + after;
}

std::string DestinationOf(InstallSession& session, const FileEntry& entry) {
  std::string folder = entry.destination;
  ReplaceAll(folder, "Destination Computer\\", "");
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return session.Expand(folder + entry.fileName);
}

void AbortInstallation(InstallSession& session) {
  if (session.RemoveWorkFolder) session.RemoveWorkFolder();
  session.flags.cancelled = kOn;
}

// Fetches a URL entry into its destination folder as written. False when the user cancelled.
bool DownloadEntry(InstallSession& session, const FileEntry& entry, const UrlDownloader& download) {
  std::string url = entry.source.substr(0, entry.source.find('{'));
  std::string name = LastComponent(url, "/");
  std::string target = session.Expand(entry.destination + name);
  ReplaceAll(target, "Destination Computer\\", "");
  if (!download || !IsPlainName(name)) {
    session.trace.Write("install", "download-skipped", {{"url", url}, {"target", target}});
  } else {
    session.progress.ShowDownloadProgress(true, 0);
    download(url, target);
    session.progress.ShowDownloadProgress(false, 0);
  }
  return session.flags.cancelRequested != 1;
}

// Puts a file in place through a temporary file beside the destination: produce writes the
// temporary file, and a move puts it over the destination. On failure the user decides as for any
// copy; the destination is never left half-written. True when the installation goes on.
bool PlaceWithRetry(InstallSession& session, StagedFile& staged, bool critical, const std::function<bool()>& produce) {
  FileSystem& files = session.platform.files;
  const std::string& destination = staged.Destination();
  for (;;) {
    std::optional<uint32_t> attributes = files.Attributes(destination);
    if (attributes && (*attributes & kAttrReadOnly)) files.SetAttributes(destination, kAttrNormal);
    if (produce() && staged.Commit()) {
      session.trace.Write("install", "copy", {{"dest", destination}, {"result", "ok"}});
      return true;
    }
    session.trace.Write("install", "copy", {{"dest", destination}, {"result", "failed"}});
    if (critical) {
      staged.Discard();
      session.dialogs.AskRetry(Format("Tarnwick will abort installation, the file:\r\n", destination, "\r\nCan't be installed."), true);
      AbortInstallation(session);
      return false;
    }
    int answer = session.dialogs.AskRetry(
        Format("Tarnwick can't copy the file:\r\n", destination, "\r\nWhat you would like to do ?"), false);
    session.trace.Write("install", "copy-retry", {{"dest", destination}, {"answer", std::to_string(answer)}});
    if (answer == FixedDialogs::kRetry) continue;
    staged.Discard();
    if (answer == FixedDialogs::kCancel) {
      AbortInstallation(session);
      return false;
    }
    return true;
  }
}

// Replaces the placeholders of a text file in place.
bool ExpandInPlace(InstallSession& session, const std::string& path) {
  std::optional<std::string> text = session.platform.files.ReadAll(path);
  bool written = text && session.platform.files.WriteAll(path, session.Expand(*text));
  session.trace.Write("install", "expand-text", {{"file", path}, {"result", written ? "ok" : "failed"}});
  return written;
}

// A payload file of a cabinet build, decompressed once out of the cabinet into the temporary file
// beside its destination. The version gate reads the packed file's version from there.
bool StreamWithRetry(InstallSession& session, PayloadStream& stream, const std::string& storedName,
                     const std::string& destination, int32_t flags) {
  StagedFile staged(session.platform.files, destination);
  bool ready = false;
  auto produce = [&] {
    if (!ready)
      ready = stream.WriteMember(storedName, staged.TempPath()) &&
              (!(flags & kFileExpandText) || ExpandInPlace(session, staged.TempPath()));
    return ready;
  };
  if (produce() && !ShouldReplace(session.platform.files, staged.TempPath(), destination)) {
    session.trace.Write("install", "copy", {{"dest", destination}, {"result", "version-kept"}});
    return true;
  }
  return PlaceWithRetry(session, staged, (flags & kFileCritical) != 0, produce);
}

// Installs one entry's file. False when the installation stopped.
bool InstallEntry(InstallSession& session, const FileEntry& entry, const std::string& source,
                  const std::string& destination, const UrlDownloader& download, PayloadStream* stream) {
  if (IsUrlEntry(entry)) return DownloadEntry(session, entry, download);
  if (stream) return StreamWithRetry(session, *stream, LastComponent(source, "\\"), destination, entry.flags);
  std::string from = (entry.flags & kFileExpandText) ? ExpandTextFile(session, source) : source;
  return CopyWithRetry(session, from, destination, (entry.flags & kFileCritical) != 0);
}

void SelfRegister(InstallSession& session, const std::string& destination) {
  std::string folder = session.platform.system.SystemFolder();
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  bool started = session.platform.shell.Start(folder + "regsvr32.exe", Format("regsvr32.exe /s \"", destination, "\""));
  session.trace.Write("install", "self-register", {{"file", destination}, {"result", started ? "started" : "failed"}});
}

// Read-only follows the flags both ways; hidden and system are only ever added.
void ApplyAttributes(FileSystem& files, const std::string& destination, int32_t flags) {
  std::optional<uint32_t> current = files.Attributes(destination);
  if (!current) return;
  uint32_t wanted = *current;
  if (flags & (kFileReadOnly | kFileReadOnlyToo))
    wanted |= kAttrReadOnly;
  else
    wanted &= ~kAttrReadOnly;
  if (flags & kFileHidden) wanted |= kAttrHidden;
  if (flags & kFileSystem) wanted |= kAttrSystem;
  if (wanted == *current) return;
  // "Normal" is only valid alone.
  wanted &= ~kAttrNormal;
  files.SetAttributes(destination, wanted ? wanted : kAttrNormal);
}

// The major and minor numbers of a version text ("1.10.0.3" or "1,10,0,3"). They are compared as
// numbers one after the other, so 1.10 is newer than 1.9.
std::pair<int, int> MajorMinor(std::string version) {
  std::replace(version.begin(), version.end(), ',', '.');
  size_t dot = version.find('.');
  int minor = dot == std::string::npos ? 0 : ToNumber(version.substr(dot + 1));
  return {ToNumber(version.substr(0, dot)), minor};
}

}  // namespace

bool CopyPayloadFiles(InstallSession& session, const std::vector<FileEntry>& fileList, const UrlDownloader& download) {
  FileSystem& files = session.platform.files;
  // A cabinet build reads its payload straight from the cabinets; other builds copy from a folder.
  std::unique_ptr<PayloadStream> stream = PayloadStream::Open(session);
  for (size_t i = 0; i < fileList.size(); ++i) {
    const FileEntry& entry = fileList[i];
    session.progress.SetProgressPos(static_cast<int>(i));
    std::string source = session.PayloadDir + "F" + std::to_string(i) + "_" + entry.fileName;
    std::string destination = DestinationOf(session, entry);
    if (session.flags.cancelRequested != 0) {
      session.trace.Write("install", "copy-stopped", {{"reason", "cancel"}});
      return false;
    }
    if (!OsMaskAllows(entry.osMask, session.OsTag)) continue;
    if (!IsPlainName(entry.fileName)) {
      session.trace.Write("install", "file-refused", {{"name", entry.fileName}, {"source", entry.source}});
      continue;
    }

    // A file of a feature the user switched off is left alone entirely: whatever is at its place
    // belongs to someone else, so it is neither logged for removal nor registered nor changed.
    if (!session.FeatureAllows(entry.feature)) {
      session.trace.Write("install", "copy", {{"dest", destination}, {"result", "feature-off"}});
      continue;
    }
    bool keep = (entry.flags & kFileNeverOverwrite) && files.Exists(destination);
    if (keep)
      session.trace.Write("install", "copy", {{"dest", destination}, {"result", "kept"}});
    else if (!InstallEntry(session, entry, source, destination, download, stream.get()))
      return false;

    if (!(entry.flags & kFilePermanent)) session.WriteLogEntry("FILE", destination);
    if (entry.flags & kFileSelfRegister) SelfRegister(session, destination);
    ApplyAttributes(files, destination, entry.flags);
  }
  return true;
}

bool CopyWithRetry(InstallSession& session, const std::string& source, const std::string& destination, bool critical) {
  FileSystem& files = session.platform.files;
  if (!ShouldReplace(files, source, destination)) {
    session.trace.Write("install", "copy", {{"dest", destination}, {"result", "version-kept"}});
    return true;
  }
  StagedFile staged(files, destination);
  return PlaceWithRetry(session, staged, critical, [&] { return files.Copy(source, staged.TempPath(), true); });
}

bool ShouldReplace(const FileSystem& files, const std::string& source, const std::string& destination) {
  const std::string packed = source.substr(0, kGatePath), installed = destination.substr(0, kGatePath);
  if (!files.Exists(installed)) return true;
  std::string lowered = Lower(packed);
  if (!Contains(lowered, ".dll") && !Contains(lowered, ".ocx")) return true;
  return CompareMajorMinor(ReadFileVersion(files, packed), ReadFileVersion(files, installed)) > 0;
}

std::string ReadFileVersion(const FileSystem& files, const std::string& path) {
  return files.FileVersion(path).value_or("").substr(0, kVersionText);
}

int CompareMajorMinor(const std::string& a, const std::string& b) {
  auto left = MajorMinor(a), right = MajorMinor(b);
  return left < right ? -1 : (left > right ? 1 : 0);
}

std::string ExpandTextFile(InstallSession& session, const std::string& source) {
  FileSystem& files = session.platform.files;
  std::string expanded = session.Expand(files.ReadAll(source).value_or(""));
  std::string copy = session.WorkDir + LastComponent(source, "\\/") + "2";
  bool written = files.WriteAll(copy, expanded);
  session.trace.Write("install", "expand-text", {{"from", source}, {"to", copy}, {"result", written ? "ok" : "failed"}});
  return copy;
}

}  // namespace tw
