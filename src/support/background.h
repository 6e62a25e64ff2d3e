// The background: the main window maximised behind the pages, with a vertical gradient, the title,
// the subtitle and the author's picture.
#pragma once
#include <memory>
#include <string>

#include "platform/decoration_ui.h"

namespace tw {

class Canvas;
class ProjectSettings;
class Trace;
struct Platform;

// "name@r,g,b" where each component is "0x00", "0x80", "0xC0" or "0xFF"; anything else counts as 0.
ColorRef ParseBackgroundColour(const std::string& text);

class CBackground : public DecorationEvents {
 public:
  CBackground(Platform& platform, Trace& trace);
  ~CBackground() override;
  // Shows the gradient and texts when "BACKGROUND" "0" is "1". False when the project has no
  // background (or no window could be made).
  bool Open(const ProjectSettings& settings);
  // Adds the picture (the expanded path of the author's file) once it is unpacked; a file that is
  // missing or does not decode leaves the gradient and the texts.
  void ShowPicture(const std::string& picturePath);
  void OnTimer(int) override {}
  DecorationWindow* Window() { return window_.get(); }

 private:
  Platform& platform_;
  Trace& trace_;
  std::unique_ptr<DecorationWindow> window_;
  std::shared_ptr<Canvas> picture_;
};

// What the backdrop shows for the project's texts and colours.
BackdropLook BackgroundLook(const ProjectSettings& settings);

}  // namespace tw
