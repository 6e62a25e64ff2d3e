#include "support/fixed_dialogs.h"

#include <algorithm>

#include "project/language_file.h"
#include "project/trace.h"

namespace tw {
namespace {

constexpr int kModeConfirm = 0;
constexpr int kModeError = 255;
constexpr int kModeQuestion = 333;

}  // namespace

std::string WithReason(const std::string& text, const std::string& reason) {
  return reason.empty() ? text : text + "\r\n" + reason;
}

FixedDialogs::FixedDialogs(Ui& ui, const FileSystem& files, Trace& trace, const std::string& languageFile,
                           Expander expand)
    : ui_(ui), files_(files), trace_(trace), languageFile_(languageFile), expand_(std::move(expand)) {}

std::string FixedDialogs::LanguageText(const std::string& section, const std::string& key) const {
  return LanguageFile::Load(files_, languageFile_).Text(section, key);
}

// Language texts may name placeholders in square brackets; they always count as angle brackets here.
std::string FixedDialogs::Bracketed(const std::string& text) const {
  std::string out = text;
  std::replace(out.begin(), out.end(), '[', '<');
  std::replace(out.begin(), out.end(), ']', '>');
  return expand_(out);
}

FixedDialogLook FixedDialogs::ConfirmLook(int mode, const std::string& text) const {
  FixedDialogLook look;
  look.templateId = kDialogConfirm;
  look.escapeResult = 2;
  if (mode == kModeError) {
    look.text = text;
    look.buttons = {{1, 1, std::nullopt, false}, {2, 2, Bracketed(LanguageText("SetupError", "3")), true}};
    return look;
  }
  look.text = mode == kModeConfirm ? Bracketed(LanguageText("CancelSetup", "0")) : text;
  look.buttons = {{1, 1, LanguageText("CancelSetup", "2"), true}, {2, 2, LanguageText("CancelSetup", "1"), true}};
  return look;
}

FixedDialogLook FixedDialogs::RetryLook(const std::string& text, bool cancelOnly) const {
  FixedDialogLook look;
  look.templateId = kDialogRetry;
  look.escapeResult = kCancel;
  if (cancelOnly || !text.empty()) look.text = text;
  look.buttons = {{1001, kRetry, std::nullopt, !cancelOnly},
                  {1002, kIgnore, std::nullopt, !cancelOnly},
                  {2, kCancel, std::nullopt, true}};
  return look;
}

FixedDialogLook FixedDialogs::MessageLook(const std::string& text) const {
  FixedDialogLook look;
  look.templateId = kDialogMessage;
  look.text = text;
  look.buttons = {{1, 1, std::nullopt, true}};
  look.escapeResult = 1;
  return look;
}

// Dialogs asked for by the install worker are shown by the UI thread too, so the page that owns
// them is held still and no second dialog can open from it meanwhile.
int FixedDialogs::Show(const FixedDialogLook& look, const char* kind) {
  if (onUnattendedError_) {
    trace_.Write("dialog", kind,
                 {{"template", std::to_string(look.templateId)}, {"text", look.text.value_or("")},
                  {"answer", std::to_string(look.escapeResult)}, {"unattended", "yes"}});
    return look.escapeResult;
  }
  int answer = 0;
  ui_.CallOnUiThread([&] {
    FixedDialogLook owned = look;
    owned.owner = ownerSource_ ? ownerSource_() : nullptr;
    answer = ui_.RunFixedDialog(owned);
  });
  trace_.Write("dialog", kind,
               {{"template", std::to_string(look.templateId)}, {"text", look.text.value_or("")},
                {"answer", std::to_string(answer)}});
  return answer;
}

void FixedDialogs::ReportUnattendedError(const FixedDialogLook& look) {
  if (onUnattendedError_) onUnattendedError_(look.text.value_or(""));
}

bool FixedDialogs::ConfirmCancel() { return Show(ConfirmLook(kModeConfirm, ""), "confirm-cancel") == 1; }

void FixedDialogs::ShowError(const std::string& text) {
  const FixedDialogLook look = ConfirmLook(kModeError, expand_(text));
  Show(look, "error");
  ReportUnattendedError(look);
}

int FixedDialogs::AskQuestion(const std::string& text) {
  return Show(ConfirmLook(kModeQuestion, text), "question");
}

void FixedDialogs::ShowInfo(const std::string& text) { Show(MessageLook(text), "info"); }

int FixedDialogs::AskRetry(const std::string& text, bool cancelOnly, const std::string& reason) {
  const FixedDialogLook look = RetryLook(WithReason(text, reason), cancelOnly);
  const int answer = Show(look, "retry");
  ReportUnattendedError(look);
  return answer;
}

void FixedDialogs::ShowWait() {
  ui_.ShowWaitNotice();
  trace_.Write("dialog", "wait", {{"state", "shown"}});
}

void FixedDialogs::CloseWait() {
  ui_.CloseWaitNotice();
  trace_.Write("dialog", "wait", {{"state", "closed"}});
}

}  // namespace tw
