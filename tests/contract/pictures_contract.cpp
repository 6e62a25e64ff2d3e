// What every picture service must answer: the natural size of real pictures, refusals, canvases.
#include <gtest/gtest.h>

#include "../unit/gif_builder.h"
#include "pictures_env.h"

namespace tw {
namespace {

void PutLong(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A complete 24-bit bottom-up BMP of width x height grey pixels.
std::string Bmp(int width, int height) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixels = row * static_cast<uint32_t>(height);
  std::string bmp = "BM";
  PutLong(bmp, 54 + pixels);
  PutLong(bmp, 0);
  PutLong(bmp, 54);
  PutLong(bmp, 40);
  PutLong(bmp, static_cast<uint32_t>(width));
  PutLong(bmp, static_cast<uint32_t>(height));
  bmp += std::string{'\x01', '\x00', '\x18', '\x00'};  // one plane, 24 bits
  PutLong(bmp, 0);                                      // uncompressed
  PutLong(bmp, pixels);
  PutLong(bmp, 2835);
  PutLong(bmp, 2835);
  PutLong(bmp, 0);
  PutLong(bmp, 0);
  return bmp + std::string(pixels, '\x80');
}

// The picture's HIMETRIC size, back in screen pixels.
PixelSize PixelsOf(const Picture& picture) {
  const PixelSize perInch = ContractPictures().PixelsPerInch();
  return {HimetricToPixels(picture.Size().width, perInch.width),
          HimetricToPixels(picture.Size().height, perInch.height)};
}

TEST(PicturesContract, RealPicturesDecodeAtTheirNaturalSize) {
  const PixelSize perInch = ContractPictures().PixelsPerInch();
  EXPECT_GT(perInch.width, 0);
  EXPECT_GT(perInch.height, 0);
  const std::pair<const char*, std::string> cases[] = {
      {"bmp", Bmp(30, 20)},
      {"gif", test::BuildGif(12, 7, {test::Frame(std::nullopt, 0, 0, 0, 12, 7)})},
  };
  for (const auto& [kind, bytes] : cases) {
    std::unique_ptr<Picture> picture = ContractPictures().Decode(bytes);
    ASSERT_NE(picture, nullptr) << kind;
    const PixelSize pixels = PixelsOf(*picture);
    EXPECT_EQ(pixels.width, kind == std::string("bmp") ? 30 : 12) << kind;
    EXPECT_EQ(pixels.height, kind == std::string("bmp") ? 20 : 7) << kind;
  }
}

TEST(PicturesContract, WhatIsNotAPictureDoesNotDecode) {
  for (const std::string& bytes : {std::string(), std::string("this is not a picture at all"),
                                   std::string(64, '\0')})
    EXPECT_EQ(ContractPictures().Decode(bytes), nullptr) << bytes.size();
}

TEST(PicturesContract, CanvasesHaveTheAskedSizeAndTakeDrawing) {
  EXPECT_EQ(ContractPictures().MakeCanvas(0, 5), nullptr);
  EXPECT_EQ(ContractPictures().MakeCanvas(5, -1), nullptr);
  std::unique_ptr<Canvas> canvas = ContractPictures().MakeCanvas(16, 9);
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->Size().width, 16);
  EXPECT_EQ(canvas->Size().height, 9);
  // Drawing past the edges is clipped, and restoring without a save does nothing.
  canvas->RestoreArea();
  canvas->Fill({-4, -4, 40, 40}, ContractPictures().SystemColour(kColourMenu));
  canvas->SaveArea({10, 5, 20, 20});
  std::unique_ptr<Picture> picture = ContractPictures().Decode(Bmp(4, 4));
  ASSERT_NE(picture, nullptr);
  canvas->Render(*picture, {2, 2, 4, 4});
  canvas->RestoreArea();
}

TEST(PicturesContract, SystemColoursAreColourValues) {
  for (SystemColourId id : {kColourMenu, kColour3dFace})
    EXPECT_EQ(ContractPictures().SystemColour(id) & 0xFF000000u, 0u) << id;
}

}  // namespace
}  // namespace tw
