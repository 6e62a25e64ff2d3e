#include "app/setup_app.h"

namespace tw {

CSetupApp::CSetupApp(Platform& platform) : platform_(platform), trace_(platform.files, platform.system) {}

bool CSetupApp::InitInstance() {
  if (!platform_.ui.InitSockets()) {
    platform_.ui.ShowMessageBox("Windows sockets initialization failed.", "Setup", kMbOk);
    return false;
  }
  if (!platform_.ui.LoadRichEdit())
    platform_.ui.ShowMessageBox("Can't load RICHTEXT library.", "Setup", kMbOk | kMbIconExclamation);
  flags_.keepWorkDir = 0;
  flags_.cancelled = -1;
  flags_.featureCount = 0;
  flags_.previewMode = 0;
  frame_ = std::make_unique<CMainFrame>(platform_, trace_, flags_);
  return frame_->OnCreate() == 0;
}

int CSetupApp::Run() {
  if (!InitInstance()) return 1;
  return platform_.ui.RunMessageLoop();
}

}  // namespace tw
