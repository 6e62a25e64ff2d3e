#include "platform/fake/fake_ui.h"

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

}  // namespace tw
