// CSetupApp: the application object. It reads the command line, prepares the process, creates the
// main frame and runs the message loop until the wizard posts the quit message.
#pragma once
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/main_frame.h"
#include "app/unattended_ui.h"
#include "project/host_flags.h"
#include "project/trace.h"
#include "platform/platform.h"

namespace tw {

class CSetupApp {
 public:
  // arguments: the command line after the program name; empty for a run as the author shipped it.
  explicit CSetupApp(Platform& platform, const std::string& arguments = "");

  // Sockets, rich edit, the process-wide values, then the frame; false when the process must end.
  bool InitInstance();
  // The command line, InitInstance, then the message loop; the process's exit code.
  int Run();

  CMainFrame* Frame() { return frame_.get(); }
  HostFlags& Flags() { return flags_; }
  // How the run ended, as the exit code deployment tools read, given the message loop's code.
  int ExitCodeFor(int loopCode) const;

 private:
  // A refused command line: the problem and the usage (shown unless /S asked for no window).
  int RefuseCommandLine();
  void Tell(const std::string& text, unsigned icon);

  Platform& shell_;  // the real platform, as WinMain or a test built it
  Trace trace_;
  HostFlags flags_;
  CommandLine commandLine_;
  UnattendedUi quietUi_;
  Platform platform_;  // shell_, with quietUi_ in place of its UI for a silent run
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tw
