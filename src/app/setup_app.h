// CSetupApp: the application object. It prepares the process, creates the main frame and runs
// the message loop until the wizard posts the quit message.
#pragma once
#include <memory>

#include "project/host_flags.h"
#include "app/main_frame.h"
#include "project/trace.h"
#include "platform/platform.h"

namespace tw {

class CSetupApp {
 public:
  explicit CSetupApp(Platform& platform);

  // Sockets, rich edit, the process-wide values, then the frame; false when the process must end.
  bool InitInstance();
  // InitInstance, then the message loop; the process's exit code.
  int Run();

  CMainFrame* Frame() { return frame_.get(); }
  HostFlags& Flags() { return flags_; }

 private:
  Platform& platform_;
  Trace trace_;
  HostFlags flags_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tw
