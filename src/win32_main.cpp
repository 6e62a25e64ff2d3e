// WinMain: hardens the process, builds the real platform and hands over to the application object.
#include <windows.h>

#include "app/setup_app.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  tw::HardenDllSearch();
  tw::Win32Platform win32;
  tw::CSetupApp app(win32.platform, tw::ProcessArguments());
  int exitCode = app.Run();
  // A billboard may still be on show on its own thread, using the platform and the trace; the
  // process ends it here rather than tearing those down under it.
  ExitProcess(static_cast<UINT>(exitCode));
}
