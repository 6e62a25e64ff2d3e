#include "app/unattended_ui.h"

namespace tw {
namespace {

// The button sets of a message box style (its low four bits) and their answers.
enum : unsigned { kOk = 0, kOkCancel = 1, kAbortRetryIgnore = 2, kYesNoCancel = 3, kYesNo = 4, kRetryCancel = 5 };
constexpr int kIdAbort = 3;

}  // namespace

void EndUnattendedRun(HostFlags& flags, Trace& trace, const std::string& why) {
  trace.Write("unattended", "error", {{"text", why}});
  flags.runFailed = kOn;
  flags.cancelRequested = 1;
  flags.cancelled = kOn;
}

int UnattendedAnswer(unsigned style) {
  switch (style & 0xF) {
    case kOkCancel:
    case kYesNoCancel:
    case kRetryCancel: return kIdCancel;
    case kAbortRetryIgnore: return kIdAbort;
    case kYesNo: return kIdNo;
    default: return kIdOk;
  }
}

int UnattendedUi::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style, NativeWindow) {
  const int answer = UnattendedAnswer(style);
  trace_.Write("dialog", "unattended", {{"caption", caption}, {"text", text}, {"answer", std::to_string(answer)}});
  EndUnattendedRun(flags_, trace_, text);
  return answer;
}

// The engine's fixed dialogs answer for themselves in a silent run; one that still arrives here is
// closed as Esc would close it.
int UnattendedUi::RunFixedDialog(const FixedDialogLook& look) {
  trace_.Write("dialog", "unattended",
               {{"template", std::to_string(look.templateId)}, {"text", look.text.value_or("")},
                {"answer", std::to_string(look.escapeResult)}});
  return look.escapeResult;
}

}  // namespace tw
