// The extraction worker and the notification handler behind CabinetExtractor. Cabinets are
// untrusted: member names are cut down to plain file names before anything is created.
#include "install/cabinet_extractor.h"

#include <atomic>
#include <cstdio>
#include <vector>

#include "project/exit_codes.h"
#include "project/host_flags.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/text.h"
#include "install/file_data.h"
#include "install/payload_copy.h"
#include "install/payload_stream.h"
#include "platform/platform.h"
#include "support/staged_file.h"

namespace tw {
namespace {

// The user's Cancel at a disk prompt; in a silent run nobody pressed it, and the run failed.
int CancelExitCode(const HostFlags& flags) { return flags.runFailed == kOn ? kExitFailed : kExitCancelled; }

constexpr char kFirstCabinet[] = "file1.cab";
constexpr char kCaption[] = "Setup";
// Message-box values the disk prompts need beyond the common ones.
constexpr unsigned kMbRetryCancel = 0x5;
constexpr unsigned kMbSystemModal = 0x1000;
constexpr int kIdRetry = 4;
// Only read-only, hidden, system and archive survive from the stored attributes.
constexpr uint32_t kKeptAttributes = 0x27;

// The enumeration notice sizes the progress bar only once per process.
std::atomic<bool> progressRangeSet{false};

std::string Format(const char* pattern, const std::string& a, const std::string& b = "", const std::string& c = "") {
  std::vector<char> text(std::string(pattern).size() + a.size() + b.size() + c.size() + 1);
  std::snprintf(text.data(), text.size(), pattern, a.c_str(), b.c_str(), c.c_str());
  return text.data();
}

}  // namespace

bool AskForDisk(InstallSession& session, const std::string& diskName, const std::string& folder,
                const std::string& cabinetName) {
  std::string path = WithBackslash(folder) + cabinetName;
  std::string text = Format("Please insert %s.\r\nFile: %s%s", diskName, WithBackslash(folder), cabinetName);
  int answer = session.platform.ui.ShowMessageBox(text, kCaption, kMbRetryCancel | kMbIconExclamation | kMbSystemModal);
  session.trace.Write("cabinet", "next", {{"cabinet", path}, {"answer", answer == kIdRetry ? "retry" : "cancel"}});
  if (answer == kIdRetry) return true;
  // The process ends here and now; the decrypted project must not outlive it.
  if (session.RemoveWorkFolder) session.RemoveWorkFolder();
  session.platform.shell.EndProcess(CancelExitCode(session.flags));
  return false;
}

std::string PlainMemberName(const std::string& storedName) {
  // What follows the last separator, when Windows would store it under that very name in the
  // folder it is put in (not ".", "...", a name with a colon or a control character, or a device).
  std::string name = LastComponent(storedName);
  return IsPlainFileName(name) ? name : "";
}

std::string MemberNameText(const CabinetMember& member, const SystemInfo& system) {
  constexpr uint16_t kUtf8Name = 0x80;
  return (member.attributes & kUtf8Name) ? member.name : system.AnsiToUtf8(member.name);
}

// Answers the decompressor's notifications on the extraction worker.
class CabinetExtractor::Handler : public CabinetHandler {
 public:
  Handler(CabinetExtractor& extractor, std::string destination)
      : extractor_(extractor), session_(extractor.session_), destination_(std::move(destination)) {}

  CabinetTarget OnCopyFile(const CabinetMember& member) override {
    std::string name = PlainMemberName(MemberNameText(member, session_.platform.system));
    if (name.empty()) {
      session_.trace.Write("cabinet", "refuse", {{"member", member.name}});
      return CabinetTarget::Abort();
    }
    std::string target = destination_ + name;
    session_.progress.SetProgressPos(++extractor_.extractedFiles_);
    if (session_.flags.splitFiles != kOn) return CabinetTarget::Write(target);
    // A split build writes each payload file through a temporary file beside it, as every other
    // build does, and by the same rules: a damaged cabinet never leaves a destination cut short.
    if (!SplitMemberWanted(name, target)) return CabinetTarget::Skip();
    pendingTarget_ = target;
    pending_ = StagedPathFor(target);
    return CabinetTarget::Write(pending_);
  }

  void OnFileClosed(const CabinetMember& member, const std::string& path) override {
    session_.platform.files.SetAttributes(path, member.attributes & kKeptAttributes);
    if (session_.flags.splitFiles == kOn && path == pending_) PutSplitMemberInPlace();
  }

  // The temporary file of a member whose writing never finished.
  void DiscardPending() {
    if (!pending_.empty()) RemoveStagedFile(session_.platform.files, pending_);
    pending_.clear();
  }

  // Asked again after a failed look: a cabinet that is there but was refused is the wrong one (or
  // broken), and looking at it again would never end, so the copy stops.
  bool OnNextCabinet(const std::string& diskName, const std::string& folder, const std::string& cabinetName,
                     bool afterFailure) override {
    if (session_.platform.files.Exists(WithBackslash(folder) + cabinetName)) return !afterFailure;
    return AskForDisk(session_, diskName, folder, cabinetName);
  }

  void OnEnumerate(int folderIndex) override {
    if (!progressRangeSet.exchange(true)) session_.progress.SetProgressRange(folderIndex);
  }

 private:
  // The payload entry a split build's member is, by its name; support files have none.
  const FileEntry* EntryNamed(const std::string& name) const {
    if (!extractor_.fileList_) return nullptr;
    const std::string lower = Lower(name);
    for (const FileEntry& entry : *extractor_.fileList_)
      if (Lower(entry.fileName) == lower) return &entry;
    return nullptr;
  }

  // Whether a split build's member is written at all: not for another system or a feature the
  // user switched off, nor over a never-overwrite file that is there.
  bool SplitMemberWanted(const std::string& name, const std::string& target) {
    const FileEntry* entry = EntryNamed(name);
    if (!entry) return true;
    const char* passed = nullptr;
    switch (PassOver(session_, *entry, target)) {
      case PassedOver::kOtherSystem: passed = "other-system"; break;
      case PassedOver::kUnsafeName: passed = "refused"; break;
      case PassedOver::kFeatureOff: passed = "feature-off"; break;
      case PassedOver::kNo: break;
    }
    const bool kept = !passed && (entry->flags & kFileNeverOverwrite) && session_.platform.files.Exists(target);
    if (!passed && !kept) return true;
    session_.trace.Write("install", "copy", {{"dest", target}, {"result", kept ? "kept" : passed}});
    if (kept) session_.LogIfOwned("FILE", target, false);
    return false;
  }

  // Moves the finished member over its destination, unless the version gate keeps what is there.
  void PutSplitMemberInPlace() {
    FileSystem& files = session_.platform.files;
    StagedFile staged(files, pendingTarget_, pending_);
    pending_.clear();
    const bool replace = ShouldReplace(files, staged.TempPath(), pendingTarget_);
    // The commit lets a read-only file go itself and says whether it replaced one.
    const bool written = replace && session_.CommitKeeping(staged);
    if (written) session_.MadeFile(pendingTarget_, session_.Replaced(pendingTarget_));
    session_.trace.Write("install", "copy",
                         {{"dest", pendingTarget_}, {"result", written ? "ok" : replace ? "failed" : "version-kept"}});
    session_.LogIfOwned("FILE", pendingTarget_, written);
  }

  CabinetExtractor& extractor_;
  InstallSession& session_;
  std::string destination_;
  std::string pending_, pendingTarget_;  // a split build's member being written, and its destination
};

bool CabinetExtractor::ExtractCabinets() {
  extractedFiles_ = 0;
  session_.platform.ui.RunAndPump([this] { Extract(); });
  session_.trace.Write("cabinet", "extract",
                       {{"cabinet-error", std::to_string(extractError_)}, {"files", std::to_string(extractedFiles_)}});
  if (extractError_ != kNoError) return false;
  if (session_.flags.splitFiles == kOn) return WaitForFirstDisk();
  return true;
}

void CabinetExtractor::Fail(int error) {
  if (extractError_ == kNoError) extractError_ = error;
}

void CabinetExtractor::Extract() {
  bool split = session_.flags.splitFiles == kOn;
  // A cabinet build whose cabinets we read ourselves streams its payload later; only the support
  // files are needed now.
  auto written = [this] { session_.progress.SetProgressPos(++extractedFiles_); };
  if (std::optional<bool> extracted = split ? std::nullopt : ExtractSupportFiles(session_, written)) {
    if (!*extracted) Fail(4);
    return;
  }
  Handler handler(*this, WithBackslash(split ? session_.InstallDir() : session_.host.WorkDir));
  std::string folder = WithBackslash(session_.host.SetupDir);

  std::unique_ptr<CabinetContext> context = session_.platform.cabinets.CreateContext();
  if (!context) return Fail(1);
  switch (context->Check(folder + kFirstCabinet)) {
    case CabinetCheck::kCannotOpen:
      context->Release();
      return Fail(2);
    case CabinetCheck::kNotCabinet:
      context->Release();
      return Fail(3);
    case CabinetCheck::kCabinet:
      break;
  }
  if (!context->CopyAll(folder, kFirstCabinet, handler)) Fail(4);
  handler.DiscardPending();
  if (!context->Release()) Fail(5);
}

// The last disk of a split build is still in the drive; the rest of the setup runs from the
// first one.
bool CabinetExtractor::WaitForFirstDisk() {
  std::string first = WithBackslash(session_.host.SetupDir) + kFirstCabinet;
  while (!session_.platform.files.Exists(first)) {
    int answer = session_.platform.ui.ShowMessageBox(Format("Please insert DISK1...\r\n%s", first), kCaption,
                                                     kMbOkCancel | kMbIconExclamation | kMbSystemModal);
    if (answer != kIdOk) {
      if (session_.RemoveWorkFolder) session_.RemoveWorkFolder();
      session_.platform.shell.EndProcess(CancelExitCode(session_.flags));
      return false;
    }
  }
  return true;
}

}  // namespace tw
