// User-interface service: message boxes, the frame's message loop and process-wide UI set-up.
// Pages, controls and dialogs join it as the wizard grows.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/decoration_ui.h"
#include "platform/native_window.h"
#include "platform/page_ui.h"

namespace tw {

// Message-box styles and answers, with the values Windows gives them.
enum MessageBoxStyle : unsigned {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbYesNo = 0x4,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
};
enum MessageBoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// The fixed dialog templates in the program's resources.
enum FixedDialogTemplate : int {
  kDialogConfirm = 142,  // cancel confirmation, error box and question box
  kDialogRetry = 143,    // Retry / Ignore / Cancel
  kDialogMessage = 155,  // information message
  kDialogWait = 156,     // the please-wait notice
};
constexpr int kDialogTextId = 1000;

// What a fixed dialog shows and how it ends, decided by the portable dialog logic; the UI draws it
// as it stands. Controls not named keep the template's own text and state.
struct FixedDialogLook {
  struct Button {
    int id;                            // control id in the template
    int result;                        // what the dialog returns when it is pressed
    std::optional<std::string> label;  // nothing keeps the template's label
    bool visible = true;
  };
  int templateId = kDialogConfirm;
  std::optional<std::string> text;     // text of control 1000; nothing keeps the template's
  std::vector<Button> buttons;
  int escapeResult = 2;                // Esc and the close box
  // The page the dialog belongs to (null for none): while the dialog is open no page takes input,
  // and the owner comes back to the front when it closes.
  PageWindow* owner = nullptr;
};

// A user-interface thread the program started. Letting the handle go asks the thread's message
// loop to end and waits until the thread has: its windows close on their own thread, and nothing
// it refers to is torn down under it.
class UiThread {
 public:
  virtual ~UiThread() = default;
};

// Threads: the UI thread, except RunAndPump, CallOnUiThread and CreateDecorationWindow (any
// thread: a window belongs to the thread that made it) and ShowMessageBox (any thread, one at a
// time: the fake records the boxes without a lock).
class Ui {
 public:
  virtual ~Ui() = default;

  // Starts Windows sockets; false when they cannot be initialised.
  virtual bool InitSockets() = 0;
  // Loads the rich-edit 1.0 library; false when it cannot be loaded.
  virtual bool LoadRichEdit() = 0;
  // Shows a modal message box and returns the button the user pressed. owner: the window the box
  // belongs to, which it stays above and which takes no input while it is open; none for no window.
  virtual int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style,
                             NativeWindow owner) = 0;
  // The same, belonging to no window.
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
    return ShowMessageBox(text, caption, style, NativeWindow{});
  }
  // Asks the message loop to end with the given exit code.
  virtual void PostQuit(int exitCode) = 0;
  // Runs the message loop until the quit message; returns its exit code.
  virtual int RunMessageLoop() = 0;
  // Shows a fixed dialog modally, centred on the screen; returns the result of the button pressed.
  // Call it on the UI thread (a worker hands it over with CallOnUiThread).
  virtual int RunFixedDialog(const FixedDialogLook& look) = 0;
  // Shows the modeless please-wait notice and paints it at once; Close removes it (no-op if absent).
  virtual void ShowWaitNotice() = 0;
  virtual void CloseWaitNotice() = 0;
  // Runs work on a worker thread and returns when it has ended, dispatching the UI thread's window
  // messages meanwhile (pages repaint, the cancel button works). A worker may call it too: it then
  // dispatches its own thread's messages, and the UI thread's pump keeps serving CallOnUiThread.
  virtual void RunAndPump(const std::function<void()>& work) = 0;
  // Runs work on the UI thread and returns when it is done (a worker updating the pages); called on
  // the UI thread itself it simply runs it.
  virtual void CallOnUiThread(const std::function<void()>& work) = 0;
  // A new, hidden, empty page window that reports to events (which must outlive it).
  virtual std::unique_ptr<PageWindow> CreatePageWindow(PageEvents& events) = 0;
  // A new, hidden decoration window of the kind, created on the calling thread and reporting to
  // events (which must outlive it); null when the system refuses.
  virtual std::unique_ptr<DecorationWindow> CreateDecorationWindow(DecorationKind kind, DecorationEvents& events) = 0;
  // Calls onTick on the UI thread every milliseconds until StopTimer; the timer's id, never 0.
  virtual int StartTimer(int milliseconds, std::function<void()> onTick) = 0;
  // Stops a timer; an id that is not running is ignored.
  virtual void StopTimer(int timerId) = 0;
  // Runs body on a new user-interface thread of its own and returns at once with its handle; the
  // thread ends with body, which ends when its message loop (RunUntilEnded) is asked to quit.
  virtual std::unique_ptr<UiThread> RunUiThread(std::function<void()> body) = 0;
  // True when a top-level window with exactly this class name and title exists.
  virtual bool TopLevelWindowExists(const std::string& className, const std::string& title) = 0;
};

}  // namespace tw
