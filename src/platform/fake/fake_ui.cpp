#include "platform/fake/fake_ui.h"

#include <thread>

namespace tw {

int FakeUi::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  int answer = (style & 0xF) == kMbYesNo ? kIdYes : kIdOk;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  shown.push_back({text, caption, style, answer});
  return answer;
}

int FakeUi::RunFixedDialog(const FixedDialogLook& look) {
  dialogs.push_back(look);
  if (!dialogResults.empty()) {
    int result = dialogResults.front();
    dialogResults.pop_front();
    return result;
  }
  for (const auto& button : look.buttons)
    if (button.visible) return button.result;
  return look.escapeResult;
}

bool FakeUi::TopLevelWindowExists(const std::string& className, const std::string& title) {
  for (const auto& [windowClass, windowTitle] : windows)
    if ((className.empty() || className == windowClass) && (title.empty() || title == windowTitle)) return true;
  return false;
}

void FakeUi::RunAndPump(const std::function<void()>& work) {
  std::thread worker(work);
  worker.join();
}

void FakeUi::ShowWaitNotice() {
  waitNoticeShown = true;
  ++waitNoticeShows;
}

}  // namespace tw
