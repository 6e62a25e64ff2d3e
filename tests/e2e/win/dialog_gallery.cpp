// Shows the engine's fixed dialogs with the real Win32 UI and resources, one after the other, so the
// suite can screenshot and answer each: dialog_gallery.exe LANGUAGE_FILE KIND[=TEXT]... with KIND
// one of confirm, error, question, retry, retry-cancel, message, wait. Prints "answer=N" for each,
// N being what the dialog itself returned for the button pressed (or Esc).
#include <windows.h>

#include <cstdio>
#include <string>

#include "project/trace.h"
#include "platform/win32/win32_platform.h"
#include "support/fixed_dialogs.h"

namespace {

// The look's modes, as the confirmation template knows them.
constexpr int kConfirmMode = 0, kErrorMode = 255, kQuestionMode = 333;

// Keeps the please-wait notice up and painted until the suite has taken its picture.
void ShowWaitNotice(tw::FixedDialogs& dialogs) {
  dialogs.ShowWait();
  for (DWORD start = GetTickCount(); GetTickCount() - start < 4000;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
  dialogs.CloseWait();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: dialog_gallery LANGUAGE_FILE KIND[=TEXT]...\n");
    return 64;
  }
  tw::Win32Platform win32;
  tw::Trace trace;
  const std::string languageFile = argv[1];
  auto expand = [](const std::string& t) {
    std::string out = t;
    for (size_t at; (at = out.find("<ProductName>")) != std::string::npos;) out.replace(at, 13, "Tarnwick Notes");
    return out;
  };
  tw::FixedDialogs dialogs(win32.ui, win32.files, trace, languageFile, expand);
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t equals = arg.find('=');
    const std::string kind = arg.substr(0, equals), text = equals == std::string::npos ? "" : arg.substr(equals + 1);
    tw::FixedDialogLook look;
    if (kind == "confirm") look = dialogs.ConfirmLook(kConfirmMode, "");
    else if (kind == "error") look = dialogs.ConfirmLook(kErrorMode, expand(text));
    else if (kind == "question") look = dialogs.ConfirmLook(kQuestionMode, text);
    else if (kind == "retry") look = dialogs.RetryLook(text, false);
    else if (kind == "retry-cancel") look = dialogs.RetryLook(text, true);
    else if (kind == "message") look = dialogs.MessageLook(text);
    else if (kind == "wait") {
      ShowWaitNotice(dialogs);
      continue;
    } else {
      std::fprintf(stderr, "unknown dialog %s\n", kind.c_str());
      return 64;
    }
    std::printf("answer=%d\n", win32.ui.RunFixedDialog(look));
    std::fflush(stdout);
  }
  return 0;
}
