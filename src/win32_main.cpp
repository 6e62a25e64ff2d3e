// WinMain: hardens the process, builds the real platform and hands over to the application object.
#include <windows.h>

#include "app/setup_app.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  tw::HardenDllSearch();
  tw::Win32Platform win32;
  int exitCode = 0;
  {
    // The app ends before the platform does: its frame stops and joins the billboard thread.
    tw::CSetupApp app(win32.platform, tw::ProcessArguments());
    exitCode = app.Run();
  }
  // An animation's thread owns all it touches and ends with the process.
  ExitProcess(static_cast<UINT>(exitCode));
}
