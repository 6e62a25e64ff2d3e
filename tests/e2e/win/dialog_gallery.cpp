// Shows one of the engine's fixed dialogs with the real Win32 UI and resources, so the suite can
// screenshot it and click it: dialog_gallery.exe LANGUAGE_FILE (confirm|error|question|retry|
// retry-cancel|message|wait) [TEXT]. Prints the answer and exits with it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "project/trace.h"
#include "platform/win32/win32_platform.h"
#include "support/fixed_dialogs.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: dialog_gallery LANGUAGE_FILE KIND [TEXT]\n");
    return 64;
  }
  tw::Win32Platform win32;
  tw::Trace trace;
  const std::string languageFile = argv[1], kind = argv[2], text = argc > 3 ? argv[3] : "";
  tw::FixedDialogs dialogs(win32.ui, win32.files, trace, languageFile, [](const std::string& t) {
    std::string out = t;
    for (size_t at; (at = out.find("<ProductName>")) != std::string::npos;) out.replace(at, 13, "Tarnwick Notes");
    return out;
  });
  int answer = 0;
  if (kind == "confirm") answer = dialogs.ConfirmCancel() ? 1 : 2;
  else if (kind == "error") dialogs.ShowError(text), answer = 2;
  else if (kind == "question") answer = dialogs.AskQuestion(text);
  else if (kind == "retry") answer = dialogs.AskRetry(text, false);
  else if (kind == "retry-cancel") answer = dialogs.AskRetry(text, true);
  else if (kind == "message") dialogs.ShowInfo(text), answer = 1;
  else if (kind == "wait") {
    dialogs.ShowWait();
    // Keep the notice up and painted until the suite has taken its picture.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 4000;) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      Sleep(20);
    }
    dialogs.CloseWait();
  } else {
    std::fprintf(stderr, "unknown dialog %s\n", kind.c_str());
    return 64;
  }
  std::printf("answer=%d\n", answer);
  return answer;
}
