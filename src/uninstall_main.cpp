// WinMain of the uninstaller: hardens the process as setup.exe does, builds the real platform and
// hands the whole command line to the uninstaller (callers pass it with or without a program name).
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "uninstall/uninstall_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  tw::HardenDllSearch();
  tw::Win32Platform win32;
  tw::UninstallApp app(win32.platform);
  const char* commandLine = GetCommandLineA();
  int exitCode = app.Run(commandLine ? commandLine : "");
  ExitProcess(static_cast<UINT>(exitCode));
}
