// Headless UI twin: message boxes are recorded and answered from a script; the message loop
// returns at once with the posted exit code.
#pragma once
#include <deque>
#include <optional>
#include <vector>

#include "platform/ui.h"

namespace tw {

struct ShownMessageBox {
  std::string text;
  std::string caption;
  unsigned style;
  int answer;
};

class FakeUi : public Ui {
 public:
  bool InitSockets() override { return socketsWork; }
  bool LoadRichEdit() override { return richEditLoads; }
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void PostQuit(int exitCode) override { quitCode = exitCode; }
  int RunMessageLoop() override { return quitCode.value_or(0); }

  bool socketsWork = true;
  bool richEditLoads = true;
  // Answers for the next message boxes, in order; an empty script answers OK (or Yes).
  std::deque<int> answers;
  std::vector<ShownMessageBox> shown;
  std::optional<int> quitCode;
};

}  // namespace tw
