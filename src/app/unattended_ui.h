// The user interface of a silent run (/S): every window that would ask or tell the user something
// is left out. A message box is traced and answered the way that never leaves the machine
// half-done without saying so (Cancel, No, Abort, else OK), and because only errors show one, the
// run is ended as failed. The splash, background and billboard windows are never made; pages stay
// hidden by the wizard itself. Everything else passes through to the real interface.
#pragma once
#include <string>

#include "platform/ui.h"
#include "project/host_flags.h"
#include "project/trace.h"

namespace tw {

// Ends an unattended run because of an error: traced, marked failed, and the install (if one is
// running) told to stop as a cancel would.
void EndUnattendedRun(HostFlags& flags, Trace& trace, const std::string& why);

// The answer a message box of this style gets when nobody is there to press a button.
int UnattendedAnswer(unsigned style);

class UnattendedUi : public Ui {
 public:
  UnattendedUi(Ui& inner, HostFlags& flags, Trace& trace) : inner_(inner), flags_(flags), trace_(trace) {}

  using Ui::ShowMessageBox;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style, NativeWindow owner) override;
  int RunFixedDialog(const FixedDialogLook& look) override;
  void ShowWaitNotice() override {}
  void CloseWaitNotice() override {}
  std::unique_ptr<DecorationWindow> CreateDecorationWindow(DecorationKind, DecorationEvents&) override {
    return nullptr;
  }

  bool InitSockets() override { return inner_.InitSockets(); }
  bool LoadRichEdit() override { return inner_.LoadRichEdit(); }
  void PostQuit(int exitCode) override { inner_.PostQuit(exitCode); }
  int RunMessageLoop() override { return inner_.RunMessageLoop(); }
  void RunAndPump(const std::function<void()>& work) override { inner_.RunAndPump(work); }
  void CallOnUiThread(const std::function<void()>& work) override { inner_.CallOnUiThread(work); }
  std::unique_ptr<PageWindow> CreatePageWindow(PageEvents& events) override { return inner_.CreatePageWindow(events); }
  int StartTimer(int milliseconds, std::function<void()> onTick) override {
    return inner_.StartTimer(milliseconds, std::move(onTick));
  }
  void StopTimer(int timerId) override { inner_.StopTimer(timerId); }
  std::unique_ptr<UiThread> RunUiThread(std::function<void()> body) override {
    return inner_.RunUiThread(std::move(body));
  }
  bool TopLevelWindowExists(const std::string& className, const std::string& title) override {
    return inner_.TopLevelWindowExists(className, title);
  }

 private:
  Ui& inner_;
  HostFlags& flags_;
  Trace& trace_;
};

}  // namespace tw
