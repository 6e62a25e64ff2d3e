#include "skin/skin_picture.h"

#include "platform/platform.h"
#include "skin/layout_file.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

struct BuiltinIcon {
  const char* name;
  int resource;
};

// In icon-number order; the resources are the program's own icons.
constexpr BuiltinIcon kBuiltinIcons[kBuiltinIconCount] = {
    {"IDI_EXCLAMATION", 141}, {"IDI_INFO", 132},  {"IDI_ERROR", 135}, {"IDI_TYPICAL", 133},
    {"IDI_MINIMAL", 134},     {"IDI_CUSTOM", 138}, {"IDI_SETUP", 137}, {"IDI_FOLDER", 136},
};

// A bitmap's value 2 may hold a designer list entry ("0 - ...") instead of a colour; that, like
// an empty value, means the face colour.
bool MeansFaceColor(const std::string& value) {
  return value.empty() || value.find("0 -") != std::string::npos;
}

}  // namespace

std::optional<int> BuiltinIconNumber(const std::string& name) {
  for (int number = 0; number < kBuiltinIconCount; ++number)
    if (name == kBuiltinIcons[number].name) return number;
  return std::nullopt;
}

int BuiltinIconResource(int iconNumber) {
  if (iconNumber < 0 || iconNumber >= kBuiltinIconCount) return 0;
  return kBuiltinIcons[iconNumber].resource;
}

CSkinPicture::CSkinPicture(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {}

void CSkinPicture::ApplyProperties(CSkinPage& page) {
  if (record_.kind == "ICON")
    ApplyIcon(page);
  else
    ApplyPictureKind(page);
}

// The page has already sized the control to its picture; a missing image file is no error here.
// HOVER takes no properties and keeps the face colour it starts with.
void CSkinPicture::ApplyPictureKind(CSkinPage& page) {
  SetFillColor("", page.FaceColor());
  if (page.Host().GetPlatform().files.Exists(record_.imageFile)) LoadPictureFile(page, record_.imageFile);
  if (record_.kind == "BITMAP") {
    const std::string& fill = record_.Value(2);
    SetFillColor(MeansFaceColor(fill) ? std::string() : fill, page.FaceColor());
  }
}

// Value 1 that starts with "IDI" names a built-in icon; one not in the table shows nothing.
void CSkinPicture::ApplyIcon(CSkinPage& page) {
  const std::string& icon = record_.Value(1);
  if (icon.compare(0, 3, "IDI") == 0) {
    if (auto number = BuiltinIconNumber(icon)) SetBuiltinIcon(*number);
  } else {
    LoadPictureFile(page, icon);
  }
  SetFillColor(record_.Value(2), page.FaceColor());
}

bool CSkinPicture::LoadPictureFile(CSkinPage& page, const std::string& path) {
  if (!page.Host().GetPlatform().files.Exists(path)) {
    page.ShowMessage("File not found: (" + path + ")");
    return false;
  }
  pictureSize_ = page.PictureSize(path);
  if (!pictureSize_) return false;
  Update([&](WidgetLook& look) { look.picturePath = path; });
  return true;
}

void CSkinPicture::SetBuiltinIcon(int iconNumber) {
  int resource = BuiltinIconResource(iconNumber);
  if (resource == 0) return;
  Update([&](WidgetLook& look) { look.iconResource = resource; });
}

void CSkinPicture::SetFillColor(const std::string& colorText, ColorRef faceColor) {
  Update([&](WidgetLook& look) { look.fillColor = ParseColor(colorText, faceColor); });
}

}  // namespace tw
