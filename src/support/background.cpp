#include "support/background.h"

#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "support/picture_canvas.h"

namespace tw {
namespace {

unsigned Component(const std::string& text) {
  if (text == "0x80") return 128;
  if (text == "0xC0") return 192;
  if (text == "0xFF") return 255;
  return 0;
}

constexpr ColorRef kWhite = MakeColor(255, 255, 255);

}  // namespace

ColorRef ParseBackgroundColour(const std::string& text) {
  size_t at = text.find('@');
  std::string rest = at == std::string::npos ? "" : text.substr(at + 1);
  unsigned parts[3] = {0, 0, 0};
  for (unsigned& part : parts) {
    size_t comma = rest.find(',');
    part = Component(rest.substr(0, comma));
    rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
  }
  return MakeColor(parts[0], parts[1], parts[2]);
}

BackdropLook BackgroundLook(const ProjectSettings& settings) {
  BackdropLook look;
  look.title = "Corvane Tarnwick";
  look.top = ParseBackgroundColour(settings.ReadSetting("BACKGROUND", "3"));
  look.bottom = ParseBackgroundColour(settings.ReadSetting("BACKGROUND", "4"));
  look.texts.push_back({settings.ReadSetting("BACKGROUND", "1"), "Times New Roman", 40, kWhite, 24, 14, false});
  look.texts.push_back({settings.ReadSetting("BACKGROUND", "2"), "Times New Roman", 20, kWhite, 100, 50, true});
  return look;
}

CBackground::CBackground(Platform& platform, Trace& trace) : platform_(platform), trace_(trace) {}

CBackground::~CBackground() = default;

bool CBackground::Open(const ProjectSettings& settings) {
  if (settings.ReadSetting("BACKGROUND", "0") != "1") return false;
  window_ = platform_.ui.CreateDecorationWindow(DecorationKind::Backdrop, *this);
  if (!window_) return false;
  window_->SetBackdrop(BackgroundLook(settings));
  window_->Show(true);
  return true;
}

void CBackground::ShowPicture(const std::string& picturePath) {
  if (!window_) return;
  picture_ = DrawPictureFile(platform_.files, platform_.pictures, picturePath);
  if (picture_) window_->SetCanvas(picture_, 10, 10);
  trace_.Write("background", "picture", {{"file", picturePath}, {"loaded", picture_ ? "yes" : "no"}});
}

}  // namespace tw
