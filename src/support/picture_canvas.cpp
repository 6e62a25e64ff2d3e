#include "support/picture_canvas.h"

#include "platform/file_system.h"
#include "platform/pictures.h"

namespace tw {

std::shared_ptr<Canvas> DrawPictureFile(const FileSystem& files, Pictures& pictures, const std::string& path) {
  auto bytes = files.ReadAll(path);
  std::unique_ptr<Picture> picture = bytes ? pictures.Decode(*bytes) : nullptr;
  if (!picture) return nullptr;
  PixelSize dpi = pictures.PixelsPerInch();
  int width = HimetricToPixels(picture->Size().width, dpi.width);
  int height = HimetricToPixels(picture->Size().height, dpi.height);
  std::shared_ptr<Canvas> canvas = pictures.MakeCanvas(width, height);
  if (canvas) canvas->Render(*picture, {0, 0, width, height});
  return canvas;
}

}  // namespace tw
