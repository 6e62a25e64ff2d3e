#include "app/setup_app.h"

#include "project/exit_codes.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

const char kCaption[] = "Setup";

Platform WithUi(const Platform& p, Ui& ui) {
  return Platform{p.files, p.profiles, p.registry, p.system, ui, p.shell, p.http, p.pictures, p.cabinets, p.services};
}

}  // namespace

CSetupApp::CSetupApp(Platform& platform, const std::string& arguments)
    : shell_(platform),
      trace_(platform.files, platform.system),
      commandLine_(ParseCommandLine(arguments)),
      quietUi_(platform.ui, flags_, trace_),
      platform_(commandLine_.silent ? WithUi(platform, quietUi_) : platform) {}

bool CSetupApp::InitInstance() {
  ClearSystemError();
  if (!platform_.ui.InitSockets()) {
    const SystemError error = LastSystemError();
    trace_.Write("startup", "sockets", {{"result", "failed"}}, error);
    platform_.ui.ShowMessageBox(WithReason("Windows sockets initialization failed.", platform_.system.ErrorText(error)),
                                kCaption, kMbOk);
    return false;
  }
  // Only the license and readme pages need rich edit, and a silent run shows neither.
  ClearSystemError();
  if (!platform_.ui.LoadRichEdit()) {
    const SystemError error = LastSystemError();
    trace_.Write("startup", "richedit", {{"result", "failed"}}, error);
    if (flags_.unattended != kOn)
      platform_.ui.ShowMessageBox(WithReason("Can't load RICHTEXT library.", platform_.system.ErrorText(error)),
                                  kCaption, kMbOk | kMbIconExclamation);
  }
  flags_.keepWorkDir = 0;
  flags_.cancelled = -1;
  flags_.featureCount = 0;
  flags_.previewMode = 0;
  frame_ = std::make_unique<CMainFrame>(platform_, trace_, flags_, commandLine_);
  return frame_->OnCreate() == 0;
}

int CSetupApp::Run() {
  if (!commandLine_.logFile.empty() && !trace_.WriteTo(shell_.files, commandLine_.logFile) &&
      commandLine_.error.empty())
    commandLine_.error = "Cannot write the log file " + commandLine_.logFile;
  if (!commandLine_.error.empty()) return RefuseCommandLine();
  if (commandLine_.help) {
    Tell(UsageText(), kMbIconInformation);
    return kExitSuccess;
  }
  if (commandLine_.silent) flags_.unattended = kOn;
  if (commandLine_.silent || !commandLine_.installDir.empty() || !commandLine_.logFile.empty())
    trace_.Write("app", "command-line",
                 {{"silent", commandLine_.silent ? "yes" : "no"}, {"installdir", commandLine_.installDir},
                  {"log", commandLine_.logFile}});
  const bool started = InitInstance();
  const int loopCode = started ? platform_.ui.RunMessageLoop() : kExitFailed;
  const int exitCode = ExitCodeFor(loopCode);
  trace_.Write("app", "exit", {{"code", std::to_string(exitCode)}});
  return exitCode;
}

int CSetupApp::RefuseCommandLine() {
  trace_.Write("app", "command-line", {{"reason", commandLine_.error}});
  Tell(commandLine_.error + "\r\n\r\n" + UsageText(), kMbIconError);
  trace_.Write("app", "exit", {{"code", std::to_string(kExitBadCommandLine)}});
  return kExitBadCommandLine;
}

// A text for whoever started setup: in a box, or under /S (where no window may wait for a click)
// on the console of the script that started it, when there is one; the trace has it either way.
void CSetupApp::Tell(const std::string& text, unsigned icon) {
  trace_.Write("app", "usage", {{"shown", commandLine_.silent ? "console" : "box"}, {"text", text}});
  if (!commandLine_.silent)
    shell_.ui.ShowMessageBox(text, kCaption, kMbOk | icon);
  else
    shell_.shell.WriteToParentConsole(text + "\r\n");
}

// A run that never reached the finish (the loop ended with an error code), failed unattended or was
// ended by the project's own abort failed; a confirmed cancel was the user's; otherwise it
// installed, and says so when the project asks for a restart after the installation.
int CSetupApp::ExitCodeFor(int loopCode) const {
  if (flags_.anotherRun == kOn) return kExitAnotherInstall;
  if (loopCode != 0 || flags_.runFailed == kOn) return kExitFailed;
  if (flags_.cancelled == kOn) return kExitCancelled;
  if (frame_ && frame_->Host().RestartStarted) return kExitRestartStarted;
  if (frame_ && frame_->Host().RestartRequired) return kExitRestartNeeded;
  return kExitSuccess;
}

}  // namespace tw
