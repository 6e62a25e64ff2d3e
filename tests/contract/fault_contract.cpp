// The fault-injecting wrappers around this side's own file system and registry: the chosen call
// fails with the chosen error and changes nothing, the calls around it reach the system and happen;
// and the copy's retry, ignore and abort paths run over them with scripted answers.
#include <functional>
#include <vector>

#include "app/unattended_ui.h"
#include "contract_env.h"
#include "install/install_session.h"
#include "install/payload_copy.h"
#include "platform/fault/faulty_file_system.h"
#include "platform/fault/faulty_registry.h"
#include "project/host_flags.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

const char kKey[] = "Software\\TarnwickContractFaults";

class FaultContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    platform().registry.DeleteTree(RegRoot::CurrentUser, kKey);
    ASSERT_TRUE(platform().registry.CreateKey(RegRoot::CurrentUser, kKey));
  }
  void TearDown() override {
    platform().registry.DeleteTree(RegRoot::CurrentUser, kKey);
    ContractTest::TearDown();
  }
};

TEST_F(FaultContract, TheChosenCallFailsAndChangesNothingWhileTheOthersHappen) {
  FaultyFileSystem faults(files());
  FaultyRegistry registry(platform().registry);
  FileSystem& real = files();
  Registry& realRegistry = platform().registry;
  auto name = [&](const char* stem, int i) { return At(stem + std::to_string(i)); };
  auto value = [](int i) { return "v" + std::to_string(i); };
  ASSERT_TRUE(real.WriteAll(At("source"), "data"));
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(real.WriteAll(name("move_", i), "m") && real.WriteAll(name("del_", i), "d"));
    ASSERT_TRUE(realRegistry.WriteDword(RegRoot::CurrentUser, kKey, "gone" + std::to_string(i), 1));
  }
  auto stampedWrite = [&](int i) {
    auto file = faults.CreateStamped(name("stamp_", i), FileStamp{});
    const bool written = file && file->Write("data", 4);  // the 5th call of its kind is the second file's write
    return file && file->Close() && written;
  };
  auto appended = [&](int i) {
    auto file = faults.OpenAppend(name("app_", i));
    return file && file->Write("data");
  };
  const struct {
    const char* what;
    uint32_t error;
    std::function<void(uint32_t)> rule;  // fails the second file's or value's call with the error
    std::function<bool(int)> call;
    std::function<bool(int)> happened;  // seen through the unwrapped side
  } cases[] = {
      {"write a whole file", kErrorDiskFull, [&](uint32_t error) { faults.FailWhen(FsOp::Write, "\\wall_", 2, error); },
       [&](int i) { return faults.WriteAll(name("wall_", i), "data"); },
       [&](int i) { return real.ReadAll(name("wall_", i)) == "data"; }},
      {"copy", kErrorSharingViolation, [&](uint32_t error) { faults.FailWhen(FsOp::Copy, "\\copy_", 2, error); },
       [&](int i) { return faults.Copy(At("source"), name("copy_", i), false); },
       [&](int i) { return real.Exists(name("copy_", i)); }},
      {"move", kErrorAccessDenied, [&](uint32_t error) { faults.FailWhen(FsOp::Move, "\\move_", 2, error); },
       [&](int i) { return faults.Move(name("move_", i), name("moved_", i)); },
       [&](int i) { return real.Exists(name("moved_", i)) && !real.Exists(name("move_", i)); }},
      {"remove", kErrorAccessDenied, [&](uint32_t error) { faults.FailWhen(FsOp::Remove, "\\del_", 2, error); },
       [&](int i) { return faults.Remove(name("del_", i)) == Removal::kRemoved; },
       [&](int i) { return !real.Exists(name("del_", i)); }},
      {"make a folder", kErrorPathNotFound, [&](uint32_t error) { faults.FailWhen(FsOp::MakeFolder, "\\fold_", 2, error); },
       [&](int i) { return faults.MakeFolder(name("fold_", i)); },
       [&](int i) { return real.IsFolder(name("fold_", i)); }},
      {"write through a stamped file", kErrorDiskFull, [&](uint32_t error) { faults.FailWhen(FsOp::Write, "\\stamp_", 5, error); },
       stampedWrite, [&](int i) { return real.ReadAll(name("stamp_", i)) == "data"; }},
      {"write through an appender", kErrorWriteFault, [&](uint32_t error) { faults.FailWhen(FsOp::Write, "\\app_", 4, error); },
       appended, [&](int i) { return real.ReadAll(name("app_", i)) == "data"; }},
      {"write a registry value", kErrorAccessDenied, [&](uint32_t error) { registry.FailWhen(RegOp::Write, "Faults\\v", 2, error); },
       [&](int i) { return registry.WriteString(RegRoot::CurrentUser, kKey, value(i), "x", false); },
       [&](int i) { return realRegistry.ReadString(RegRoot::CurrentUser, kKey, value(i)) == "x"; }},
      {"delete a registry value", kErrorAccessDenied, [&](uint32_t error) { registry.FailWhen(RegOp::Delete, "Faults\\gone", 2, error); },
       [&](int i) { return registry.DeleteValue(RegRoot::CurrentUser, kKey, "gone" + std::to_string(i)); },
       [&](int i) { return !realRegistry.ReadDword(RegRoot::CurrentUser, kKey, "gone" + std::to_string(i)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    faults.ClearFailures();
    registry.ClearFailures();
    c.rule(c.error);
    for (int i = 1; i <= 3; ++i) {
      ClearSystemError();
      EXPECT_EQ(c.call(i), i != 2) << "call " << i;
      if (i == 2) {
        EXPECT_EQ(LastSystemError().code, c.error);
      }
      EXPECT_EQ(c.happened(i), i != 2) << "call " << i;
    }
    EXPECT_EQ(faults.Fired() + registry.Fired(), 1);
  }
}

// Answers the fixed dialogs from a script, on the calling thread; the rest is the silent run's UI
// over this side's own.
class ScriptedUi : public UnattendedUi {
 public:
  ScriptedUi(Ui& real, HostFlags& flags, Trace& trace) : UnattendedUi(real, flags, trace) {}
  std::vector<int> answers;
  std::vector<std::string> asked;
  int RunFixedDialog(const FixedDialogLook& look) override {
    asked.push_back(look.text.value_or(""));
    const int answer = answers.empty() ? FixedDialogs::kCancel : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return answer;
  }
  void CallOnUiThread(const std::function<void()>& work) override { work(); }
  void RunAndPump(const std::function<void()>& work) override { work(); }
};

class SilentProgress : public InstallProgress {
  void SetStatusText(const std::string&) override {}
  void SetProgressRange(int) override {}
  void SetProgressPos(int) override {}
  void ShowDownloadProgress(bool, int) override {}
  void SetDownloadStatus(int, const std::string&, const std::string&) override {}
};

// The copy over this side's own file system, its first attempts refused: each answer ends as the
// user chose, with the system's words for the refusal in the question, and the file there before
// stays whole unless the copy went through.
TEST_F(FaultContract, ACopyRefusedIsRetriedIgnoredOrAbortedAsAnswered) {
  const struct {
    std::vector<int> answers;
    int nth;  // the copies refused: the first only, or every one
    CopyOutcome outcome;
    const char* content;
  } cases[] = {
      {{FixedDialogs::kRetry}, 1, CopyOutcome::kWritten, "new"},
      {{FixedDialogs::kRetry, FixedDialogs::kIgnore}, 0, CopyOutcome::kKept, "old"},
      {{FixedDialogs::kCancel}, 0, CopyOutcome::kStopped, "old"},
  };
  for (const auto& c : cases) {
    FaultyFileSystem faults(files());
    HostFlags flags;
    Trace trace;
    ScriptedUi ui(platform().ui, flags, trace);
    Platform wrapped = platform();
    Platform sessionPlatform{faults, wrapped.profiles, wrapped.registry, wrapped.system, ui, wrapped.shell,
                              wrapped.http, wrapped.pictures, wrapped.cabinets, wrapped.services};
    FixedDialogs dialogs(ui, faults, trace, At("none.lan"), [](const std::string& text) { return text; });
    ProjectSettings settings;
    SilentProgress progress;
    InstallSession session(sessionPlatform, flags, trace, dialogs, settings, progress);
    ASSERT_TRUE(files().WriteAll(At("new.txt"), "new") && files().WriteAll(At("dest.txt"), "old"));
    ui.answers = c.answers;
    faults.FailWhen(FsOp::Copy, "new.txt|", c.nth, kErrorAccessDenied);

    EXPECT_EQ(CopyWithRetry(session, At("new.txt"), At("dest.txt"), false), c.outcome);
    EXPECT_EQ(ui.asked.size(), c.answers.size());
    for (const std::string& question : ui.asked)
      EXPECT_NE(question.find(platform().system.ErrorText(SystemError{kErrorAccessDenied})), std::string::npos)
          << question;
    EXPECT_EQ(files().ReadAll(At("dest.txt")), c.content);
    EXPECT_EQ(flags.cancelled == kOn, c.outcome == CopyOutcome::kStopped);
  }
}

}  // namespace
}  // namespace tw
