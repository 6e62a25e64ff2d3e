// WinMain of the uninstaller: hardens the process as setup.exe does, builds the real platform and
// hands the whole command line to the uninstaller (callers pass it with or without a program name).
// Its parameters go unused, so it is declared with the plain pointers and integer they are, and
// the Windows headers stay in the platform layer.
#include "platform/win32/win32_platform.h"
#include "uninstall/uninstall_app.h"

extern "C" int __stdcall WinMain(void*, void*, char*, int) {
  tw::HardenDllSearch();
  tw::Win32Platform win32;
  tw::UninstallApp app(win32.platform);
  tw::EndProcess(app.Run(tw::ProcessCommandLine()));
}
