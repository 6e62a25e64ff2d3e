// Copying the payload files to their destinations: the per-file steps, the retry dialog, the
// library version gate and placeholder expansion of text files.
#include "install/payload_copy.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/text.h"
#include "project/host_flags.h"
#include "project/os_tag.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "install/payload_prefetch.h"
#include "install/payload_stream.h"
#include "platform/platform.h"
#include "platform/system_error.h"
#include "platform/text.h"
#include "support/fixed_dialogs.h"
#include "support/staged_file.h"

namespace tw {
namespace {

constexpr size_t kVersionText = 250;
constexpr size_t kGatePath = 255;

bool IsUrlEntry(const FileEntry& entry) { return Contains(entry.source, "http:") || Contains(entry.source, "ftp:"); }

std::string Format(const char* before, const std::string& path, const char* after) {
  return std::string(before) + path + after;
}

std::string DestinationFolder(const FileEntry& entry) {
  std::string folder = entry.destination;
  ReplaceAll(folder, "Destination Computer\\", "");
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// Where an entry's file goes: its folder and its name, the name of a URL entry taken from the
// address. Empty when that name could leave the folder.
std::string DestinationOf(InstallSession& session, const FileEntry& entry) {
  std::string name = IsUrlEntry(entry) ? DownloadFileName(entry.source) : entry.fileName;
  if (!IsPlainFileName(name)) return "";
  return session.Expand(DestinationFolder(entry) + name);
}

void AbortInstallation(InstallSession& session) {
  if (session.RemoveWorkFolder) session.RemoveWorkFolder();
  session.flags.cancelled = kOn;
}

// A critical file that could not be installed ends the installation; the user can only agree.
bool AbortForCriticalFile(InstallSession& session, const std::string& destination, const std::string& reason = "") {
  session.dialogs.AskRetry(Format("Tarnwick will abort installation, the file:\r\n", destination, "\r\nCan't be installed."), true,
                           reason);
  AbortInstallation(session);
  return false;
}

// A program that holds a new file for a moment (a virus scanner, most often) lets go within about
// a second: only a hold that lasts longer is put to the user.
constexpr int kHoldRetries = 5;
constexpr uint32_t kHoldPauseMs = 200;

// One attempt, made again while a sharing or lock violation stands in its way. The thread's error
// is cleared first, so a failure is told with its own reason and never an older one.
bool AttemptThroughHolds(InstallSession& session, const std::string& destination, const std::function<bool()>& attempt) {
  for (int retry = 1;; ++retry) {
    ClearSystemError();
    if (attempt()) return true;
    const SystemError error = LastSystemError();
    if (!IsPassingHold(error) || retry > kHoldRetries) return false;
    session.trace.Write("install", "copy-held", {{"dest", destination}, {"retry", std::to_string(retry)}}, error);
    session.platform.system.Pause(kHoldPauseMs);
  }
}

// Tries to put the file in place until it works or the user gives up: Retry tries again, Ignore
// goes on without the file, Cancel (or any failure of a critical file) aborts the installation.
CopyOutcome RetryUntilInstalled(InstallSession& session, const std::string& destination, bool critical,
                                const std::function<bool()>& attempt) {
  for (;;) {
    // Every attempt commits through the session, which lets a read-only file go itself.
    if (AttemptThroughHolds(session, destination, attempt)) {
      session.trace.Write("install", "copy", {{"dest", destination}, {"result", "ok"}});
      return CopyOutcome::kWritten;
    }
    const SystemError error = LastSystemError();
    session.trace.Write("install", "copy", {{"dest", destination}, {"result", "failed"}}, error);
    const std::string reason = session.platform.system.ErrorText(error);
    if (critical) {
      AbortForCriticalFile(session, destination, reason);
      return CopyOutcome::kStopped;
    }
    int answer = session.dialogs.AskRetry(
        Format("Tarnwick can't copy the file:\r\n", destination, "\r\nWhat you would like to do ?"), false, reason);
    session.trace.Write("install", "copy-retry", {{"dest", destination}, {"answer", std::to_string(answer)}});
    if (answer == FixedDialogs::kRetry) continue;
    if (answer == FixedDialogs::kCancel) {
      AbortInstallation(session);
      return CopyOutcome::kStopped;
    }
    return CopyOutcome::kKept;
  }
}

// How one entry ended: its file written, the file there kept, nothing installed (a download that
// did not complete), or the installation stopped.
enum class EntryResult { kWritten, kKept, kNotInstalled, kStopped };

EntryResult ResultOf(CopyOutcome outcome) {
  switch (outcome) {
    case CopyOutcome::kWritten: return EntryResult::kWritten;
    case CopyOutcome::kKept: return EntryResult::kKept;
    case CopyOutcome::kStopped: break;
  }
  return EntryResult::kStopped;
}

// Fetches a URL entry into its destination. Only a completed transfer installs the file; a failed
// one of a critical entry ends the installation as a failed copy would.
EntryResult DownloadEntry(InstallSession& session, const FileEntry& entry, const std::string& target,
                          const UrlDownloader& download) {
  ClearSystemError();
  std::string url = entry.source.substr(0, entry.source.find('{'));
  DownloadOutcome::Result result = DownloadOutcome::kFailed;
  if (!download) {
    session.trace.Write("install", "download-skipped", {{"url", url}, {"target", target}});
  } else {
    session.progress.ShowDownloadProgress(true, 0);
    result = download(url, target);
    session.progress.ShowDownloadProgress(false, 0);
  }
  if (session.flags.cancelRequested == 1 || result == DownloadOutcome::kCancelled) return EntryResult::kStopped;
  if (result == DownloadOutcome::kCompleted) return EntryResult::kWritten;
  const std::string reason = session.platform.system.ErrorText(LastSystemError());
  if ((entry.flags & kFileCritical) && !AbortForCriticalFile(session, target, reason)) return EntryResult::kStopped;
  return EntryResult::kNotInstalled;
}

// A text file's bytes with their placeholders filled in, kept in the form they came in: UTF-8 when
// they carry the byte-order mark, else the ANSI code page wherever every character fits.
std::string ExpandStoredText(InstallSession& session, const std::string& bytes) {
  const SystemInfo& system = session.platform.system;
  if (StartsWithUtf8Bom(bytes)) return kUtf8Bom + session.Expand(bytes.substr(3));
  return TextToStored(system, session.Expand(system.AnsiToUtf8(bytes)));
}

// Replaces the placeholders of a text file in place; false when it cannot be read or written.
bool ExpandInPlace(InstallSession& session, const std::string& path) {
  ClearSystemError();
  std::optional<std::string> text = session.platform.files.ReadAll(path);
  bool written = text && session.platform.files.WriteAll(path, ExpandStoredText(session, *text));
  session.trace.WriteResult("install", "expand-text", {{"file", path}}, written);
  return written;
}

// A payload file of a cabinet build, decompressed once out of the cabinet into its temporary file
// beside the destination (ahead of time, by the prefetch) and moved over it. The version gate
// reads the packed file's version from the temporary file; a retry after a failed write writes
// it again, one after a failed move only moves again.
CopyOutcome StreamWithRetry(InstallSession& session, PayloadPrefetch& prefetch, size_t job,
                            const std::string& destination, int32_t flags) {
  StagedFile staged(session.platform.files, destination, prefetch.TempPath(job));
  const bool expand = (flags & kFileExpandText) != 0;
  std::unique_ptr<StampedFile> file = prefetch.Take(job);
  // The first try is a plain move, which only works where nothing is yet (the common case): then
  // there is no version to compare and nothing read-only in the way. A file still open is moved
  // before it is closed. Over a plain file already there (a reinstall) the open file takes its
  // place the same way, once the version gate lets it, the file there kept under a second name.
  // Anything else (a read-only file, a file in use, any failure) goes the long way below.
  bool moved = file && !expand && staged.CommitOpen(*file);
  if (!moved && file && !expand && ShouldReplace(session.platform.files, staged.TempPath(), destination))
    moved = session.CommitOpenKeeping(staged, *file);
  bool written = file && file->Close(), ready = false;
  file.reset();
  auto produce = [&] {
    if (ready) return true;
    if (!written) written = prefetch.Rewrite(job);
    ready = written && (!expand || ExpandInPlace(session, staged.TempPath()));
    written = ready;
    return ready;
  };
  if (!moved && expand) moved = produce() && staged.CommitToEmpty();
  if (moved) {
    session.trace.Write("install", "copy", {{"dest", destination}, {"result", "ok"}});
    return CopyOutcome::kWritten;
  }
  if (produce() && !ShouldReplace(session.platform.files, staged.TempPath(), destination)) {
    session.trace.Write("install", "copy", {{"dest", destination}, {"result", "version-kept"}});
    return CopyOutcome::kKept;
  }
  return RetryUntilInstalled(session, destination, (flags & kFileCritical) != 0,
                             [&] { return produce() && session.CommitKeeping(staged); });
}

// Installs one entry's file: downloaded, streamed out of the cabinet, or copied from the payload
// folder.
EntryResult InstallEntry(InstallSession& session, const FileEntry& entry, const CopyStep& step,
                         const std::string& source, const UrlDownloader& download, PayloadPrefetch* prefetch) {
  const std::string& destination = step.destination;
  if (step.download) return DownloadEntry(session, entry, destination, download);
  bool critical = (entry.flags & kFileCritical) != 0;
  if (prefetch && step.job) return ResultOf(StreamWithRetry(session, *prefetch, *step.job, destination, entry.flags));
  if (!(entry.flags & kFileExpandText)) return ResultOf(CopyWithRetry(session, source, destination, critical));
  if (!ShouldReplace(session.platform.files, source, destination)) return EntryResult::kKept;
  // Expanded again on every retry: the source may have become readable meanwhile.
  FileSystem& files = session.platform.files;
  StagedFile staged(files, destination);
  return ResultOf(RetryUntilInstalled(session, destination, critical, [&] {
    std::optional<std::string> copy = ExpandTextFile(session, source);
    return copy && files.Copy(*copy, staged.TempPath(), true) && session.CommitKeeping(staged);
  }));
}

void SelfRegister(InstallSession& session, const std::string& destination) {
  std::string folder = session.platform.system.SystemFolder();
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  ClearSystemError();
  bool started = session.platform.shell.Start(folder + "regsvr32.exe", Format("regsvr32.exe /s \"", destination, "\""));
  if (started)
    session.trace.Write("install", "self-register", {{"file", destination}, {"result", "started"}});
  else
    session.trace.Write("install", "self-register", {{"file", destination}, {"result", "failed"}}, LastSystemError());
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

// The four numbers of a version text ("1.10.0.3", "1,10,0,3" or "1, 10, 0, 3"), missing ones 0.
// They are compared as numbers one after the other, so 1.10 is newer than 1.9.
std::array<int, 4> VersionParts(std::string version) {
  std::replace(version.begin(), version.end(), ',', '.');
  std::array<int, 4> parts{};
  size_t at = 0;
  for (int& part : parts) {
    if (at > version.size()) break;
    size_t dot = version.find('.', at);
    part = ToNumber(version.substr(at, dot == std::string::npos ? std::string::npos : dot - at));
    at = dot == std::string::npos ? version.size() + 1 : dot + 1;
  }
  return parts;
}

}  // namespace

PassedOver PassOver(const InstallSession& session, const FileEntry& entry, const std::string& destination) {
  if (!OsMaskAllows(entry.osMask, session.host.OsTag)) return PassedOver::kOtherSystem;
  if (destination.empty()) return PassedOver::kUnsafeName;
  if (!session.FeatureAllows(entry.feature)) return PassedOver::kFeatureOff;
  return PassedOver::kNo;
}

std::vector<CopyStep> PlanCopy(InstallSession& session, const std::vector<FileEntry>& fileList, bool unpackedAhead) {
  std::vector<CopyStep> plan(fileList.size());
  size_t jobs = 0;
  for (size_t i = 0; i < fileList.size(); ++i) {
    const FileEntry& entry = fileList[i];
    CopyStep& step = plan[i];
    step.destination = DestinationOf(session, entry);
    step.passedOver = PassOver(session, entry, step.destination);
    step.download = IsUrlEntry(entry);
    step.member = PayloadMemberName(i, entry.fileName);
    if (unpackedAhead && !step.download && step.passedOver == PassedOver::kNo) step.job = jobs++;
  }
  return plan;
}

bool CopyPayloadFiles(InstallSession& session, const std::vector<FileEntry>& fileList, const UrlDownloader& download) {
  FileSystem& files = session.platform.files;
  // A cabinet build reads its payload straight from the cabinets; other builds copy from a folder.
  std::unique_ptr<PayloadStream> stream = PayloadStream::Open(session);
  const std::vector<CopyStep> plan = PlanCopy(session, fileList, stream != nullptr);
  std::unique_ptr<PayloadPrefetch> prefetch =
      stream ? std::make_unique<PayloadPrefetch>(*stream, files, plan) : nullptr;
  for (size_t i = 0; i < fileList.size(); ++i) {
    const FileEntry& entry = fileList[i];
    const CopyStep& step = plan[i];
    session.progress.SetProgressPos(static_cast<int>(i));
    const std::string& destination = step.destination;
    if (session.flags.cancelRequested != 0) {
      session.trace.Write("install", "copy-stopped", {{"reason", "cancel"}});
      return false;
    }
    switch (step.passedOver) {
      case PassedOver::kOtherSystem:
        continue;
      case PassedOver::kUnsafeName:  // a name that could leave its folder installs nothing at all
        session.trace.Write("install", "file-refused", {{"name", entry.fileName}, {"source", entry.source}});
        continue;
      // A file of a feature the user switched off is left alone entirely: whatever is at its place
      // belongs to someone else, so it is neither logged for removal nor registered nor changed.
      case PassedOver::kFeatureOff:
        session.trace.Write("install", "copy", {{"dest", destination}, {"result", "feature-off"}});
        continue;
      case PassedOver::kNo:
        break;
    }
    EntryResult result = EntryResult::kKept;
    if ((entry.flags & kFileNeverOverwrite) && files.Exists(destination))
      session.trace.Write("install", "copy", {{"dest", destination}, {"result", "kept"}});
    else
      result = InstallEntry(session, entry, step, session.PayloadDir + step.member, download, prefetch.get());
    if (result == EntryResult::kStopped) return false;
    if (result == EntryResult::kNotInstalled) continue;

    // A file the installation kept (never overwritten, the version gate, Ignore) is whoever's it
    // was, unless an earlier installation of the product wrote it.
    // Written: into an empty place, or over a file the run kept aside first.
    if (result == EntryResult::kWritten) session.MadeFile(destination, session.Replaced(destination));
    if (!(entry.flags & kFilePermanent)) session.LogIfOwned("FILE", destination, result == EntryResult::kWritten);
    if (entry.flags & kFileSelfRegister) SelfRegister(session, destination);
    ApplyAttributes(files, destination, entry.flags);
  }
  return true;
}

CopyOutcome CopyWithRetry(InstallSession& session, const std::string& source, const std::string& destination,
                          bool critical) {
  FileSystem& files = session.platform.files;
  if (!ShouldReplace(files, source, destination)) {
    session.trace.Write("install", "copy", {{"dest", destination}, {"result", "version-kept"}});
    return CopyOutcome::kKept;
  }
  // Through a temporary file beside the destination: a copy cut short never touches it.
  StagedFile staged(files, destination);
  return RetryUntilInstalled(session, destination, critical, [&] {
    return files.Copy(source, staged.TempPath(), true) && session.CommitKeeping(staged);
  });
}

bool ShouldReplace(const FileSystem& files, const std::string& source, const std::string& destination) {
  const std::string packed = source.substr(0, kGatePath), installed = destination.substr(0, kGatePath);
  if (!files.Exists(installed)) return true;
  std::string lowered = Lower(packed);
  if (!Contains(lowered, ".dll") && !Contains(lowered, ".ocx")) return true;
  return CompareFileVersions(ReadFileVersion(files, packed), ReadFileVersion(files, installed)) > 0;
}

std::string ReadFileVersion(const FileSystem& files, const std::string& path) {
  return files.FileVersion(path).value_or("").substr(0, kVersionText);
}

int CompareFileVersions(const std::string& a, const std::string& b) {
  auto left = VersionParts(a), right = VersionParts(b);
  return left < right ? -1 : (left > right ? 1 : 0);
}

std::optional<std::string> ExpandTextFile(InstallSession& session, const std::string& source) {
  FileSystem& files = session.platform.files;
  ClearSystemError();
  std::optional<std::string> text = files.ReadAll(source);
  std::string copy = session.host.WorkDir + LastComponent(source, "\\/") + "2";
  bool written = text && files.WriteAll(copy, ExpandStoredText(session, *text));
  if (text)
    session.trace.WriteResult("install", "expand-text", {{"from", source}, {"to", copy}}, written);
  else
    session.trace.Write("install", "expand-text", {{"from", source}, {"to", copy}, {"result", "unreadable"}},
                        LastSystemError());
  if (!written) return std::nullopt;
  return copy;
}

}  // namespace tw
