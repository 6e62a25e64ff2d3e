// The engine's four fixed dialogs: cancel confirmation (also its error box and question box), the
// information message, the retry dialog and the please-wait notice. This decides their texts,
// labels and buttons; the UI draws them from the resource templates.
#pragma once
#include <functional>
#include <string>

#include "platform/ui.h"

namespace tw {

class FileSystem;
class Trace;

// The message as it always reads, the system's reason for the failure (when there is one) on the
// line below it.
std::string WithReason(const std::string& text, const std::string& reason);

class FixedDialogs {
 public:
  using Expander = std::function<std::string(const std::string&)>;
  // The page window the user works in now, or null: it owns the dialogs.
  using OwnerSource = std::function<PageWindow*()>;
  // Results of AskRetry.
  enum RetryAnswer { kRetry = 1, kIgnore = 2, kCancel = 3 };

  // languageFile is read at each dialog, so a language chosen later is honoured.
  FixedDialogs(Ui& ui, const FileSystem& files, Trace& trace, const std::string& languageFile, Expander expand);

  // Every dialog from now on belongs to the page this names when it opens.
  void SetOwnerSource(OwnerSource source) { ownerSource_ = std::move(source); }

  // True when the user confirmed cancelling (button 1).
  bool ConfirmCancel();
  // The engine's message box: the text expanded, one button.
  void ShowError(const std::string& text);
  // A two-button question; 1 or 2.
  int AskQuestion(const std::string& text);
  // The information message of the "ShowMessage" action.
  void ShowInfo(const std::string& text);
  // Retry, Ignore or Cancel (Cancel only when cancelOnly). A reason (the system's words for the
  // failure behind the question) is shown on a line of its own below the text.
  int AskRetry(const std::string& text, bool cancelOnly, const std::string& reason = std::string());
  void ShowWait();
  void CloseWait();
  // A silent run: nothing is shown. Each dialog is answered as Esc answers it (not confirmed, No,
  // Cancel, OK), and an error box or a retry question also calls onError, which ends the run.
  void AnswerUnattended(std::function<void(const std::string&)> onError) { onUnattendedError_ = std::move(onError); }

  // The looks, apart so they can be checked without showing anything.
  FixedDialogLook ConfirmLook(int mode, const std::string& text) const;
  FixedDialogLook RetryLook(const std::string& text, bool cancelOnly) const;
  FixedDialogLook MessageLook(const std::string& text) const;

 private:
  std::string LanguageText(const std::string& section, const std::string& key) const;
  std::string Bracketed(const std::string& text) const;
  int Show(const FixedDialogLook& look, const char* kind);
  void ReportUnattendedError(const FixedDialogLook& look);

  Ui& ui_;
  const FileSystem& files_;
  Trace& trace_;
  const std::string& languageFile_;
  Expander expand_;
  std::function<void(const std::string&)> onUnattendedError_;
  OwnerSource ownerSource_;
};

}  // namespace tw
