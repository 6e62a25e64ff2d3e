// CSkinPicture: the self-painted pictures and icons of a skinned page, drawn on a fill colour.
#pragma once
#include <optional>
#include <string>

#include "skin/skin_control.h"

namespace tw {

// The built-in icons an ICON control can name, by icon number.
constexpr int kBuiltinIconCount = 8;
// The icon number of a built-in icon name ("IDI_SETUP" is 6); nothing when it is not one.
std::optional<int> BuiltinIconNumber(const std::string& name);
// The program's icon resource for an icon number 0 to 7; 0 for any other number.
int BuiltinIconResource(int iconNumber);

// BITMAP, HOVER and ICON.
class CSkinPicture : public SkinControl {
 public:
  CSkinPicture(ControlRecord& record, Widget& widget);

  void ApplyProperties(CSkinPage& page) override;

  // Shows the picture file at its natural size. A missing file is reported with the engine's
  // message; a file that does not decode leaves the control empty. True when the picture shows.
  bool LoadPictureFile(CSkinPage& page, const std::string& path);
  // Shows built-in icon 0 to 7 instead of any picture; other numbers change nothing.
  void SetBuiltinIcon(int iconNumber);
  // "COLOR_BTNFACE" or "r,g,b"; empty means the face colour.
  void SetFillColor(const std::string& colorText, ColorRef faceColor);

  bool PictureLoaded() const { return pictureSize_.has_value(); }
  // The picture's natural size in screen pixels; nothing before a picture is loaded.
  const std::optional<Size>& PixelSize() const { return pictureSize_; }
  bool IconMode() const { return look_.iconResource != 0; }

 private:
  void ApplyPictureKind(CSkinPage& page);
  void ApplyIcon(CSkinPage& page);

  std::optional<Size> pictureSize_;
};

}  // namespace tw
