// What every picture service must answer: the natural size of real pictures, refusals, canvases.
#include <gtest/gtest.h>

#include "../unit/test_pictures.h"
#include "contract_env.h"

namespace tw {
namespace {

// The picture's HIMETRIC size, back in screen pixels.
PixelSize PixelsOf(const Picture& picture) {
  const PixelSize perInch = ContractPlatform().pictures.PixelsPerInch();
  return {HimetricToPixels(picture.Size().width, perInch.width),
          HimetricToPixels(picture.Size().height, perInch.height)};
}

TEST(PicturesContract, RealPicturesDecodeAtTheirNaturalSize) {
  const PixelSize perInch = ContractPlatform().pictures.PixelsPerInch();
  EXPECT_GT(perInch.width, 0);
  EXPECT_GT(perInch.height, 0);
  const std::pair<const char*, std::string> cases[] = {
      {"bmp", test::BuildBmp(30, 20)},
      {"gif", test::BuildGif(12, 7, {test::Frame(std::nullopt, 0, 0, 0, 12, 7)})},
  };
  for (const auto& [kind, bytes] : cases) {
    std::unique_ptr<Picture> picture = ContractPlatform().pictures.Decode(bytes);
    ASSERT_NE(picture, nullptr) << kind;
    const PixelSize pixels = PixelsOf(*picture);
    EXPECT_EQ(pixels.width, kind == std::string("bmp") ? 30 : 12) << kind;
    EXPECT_EQ(pixels.height, kind == std::string("bmp") ? 20 : 7) << kind;
  }
}

TEST(PicturesContract, WhatIsNotAPictureDoesNotDecode) {
  for (const std::string& bytes : {std::string(), std::string("this is not a picture at all"),
                                   std::string(64, '\0')})
    EXPECT_EQ(ContractPlatform().pictures.Decode(bytes), nullptr) << bytes.size();
}

TEST(PicturesContract, CanvasesHaveTheAskedSizeAndTakeDrawing) {
  EXPECT_EQ(ContractPlatform().pictures.MakeCanvas(0, 5), nullptr);
  EXPECT_EQ(ContractPlatform().pictures.MakeCanvas(5, -1), nullptr);
  std::unique_ptr<Canvas> canvas = ContractPlatform().pictures.MakeCanvas(16, 9);
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->Size().width, 16);
  EXPECT_EQ(canvas->Size().height, 9);
  // Drawing past the edges is clipped, and restoring without a save does nothing.
  canvas->RestoreArea();
  canvas->Fill({-4, -4, 40, 40}, ContractPlatform().pictures.SystemColour(kColourMenu));
  canvas->SaveArea({10, 5, 20, 20});
  std::unique_ptr<Picture> picture = ContractPlatform().pictures.Decode(test::BuildBmp(4, 4));
  ASSERT_NE(picture, nullptr);
  canvas->Render(*picture, {2, 2, 4, 4});
  canvas->RestoreArea();
}

TEST(PicturesContract, SystemColoursAreColourValues) {
  for (SystemColourId id : {kColourMenu, kColour3dFace})
    EXPECT_EQ(ContractPlatform().pictures.SystemColour(id) & 0xFF000000u, 0u) << id;
}

}  // namespace
}  // namespace tw
