// User-interface service: message boxes, the frame's message loop and process-wide UI set-up.
// Pages, controls and dialogs join it as the wizard grows.
#pragma once
#include <string>

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

class Ui {
 public:
  virtual ~Ui() = default;

  // Starts Windows sockets; false when they cannot be initialised.
  virtual bool InitSockets() = 0;
  // Loads the rich-edit 1.0 library; false when it cannot be loaded.
  virtual bool LoadRichEdit() = 0;
  // Shows a modal message box and returns the button the user pressed.
  virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                             unsigned style) = 0;
  // Asks the message loop to end with the given exit code.
  virtual void PostQuit(int exitCode) = 0;
  // Runs the message loop until the quit message; returns its exit code.
  virtual int RunMessageLoop() = 0;
};

}  // namespace tw
