// Walking GIF blocks: the logical screen, each frame's fields and bytes, and hostile input.
#include <gtest/gtest.h>

#include <random>

#include "test_pictures.h"
#include "support/gif_frames.h"

namespace tw {
namespace {

using test::BuildGif;
using test::Frame;
using test::GifFrameRecipe;

std::string Describe(const GifFrame& frame) {
  return (frame.delay ? std::to_string(*frame.delay) : "-") + " d" + std::to_string(frame.disposal) + " " +
         std::to_string(frame.left) + "," + std::to_string(frame.top) + " " + std::to_string(frame.width) +
         "x" + std::to_string(frame.height);
}

std::vector<std::string> Describe(const GifLayout& layout) {
  std::vector<std::string> frames;
  for (const GifFrame& frame : layout.frames) frames.push_back(Describe(frame));
  return frames;
}

TEST(GifWalkTest, LogicalScreenAndGlobalTableSize) {
  const std::pair<int, size_t> tables[] = {{0, 0}, {1, 6}, {2, 12}, {8, 768}};
  for (const auto& [bits, size] : tables) {
    const GifLayout layout = WalkGif(BuildGif(300, 0x1234, {Frame(std::nullopt)}, bits));
    EXPECT_EQ(layout.screenWidth, 300);
    EXPECT_EQ(layout.screenHeight, 0x1234);
    EXPECT_EQ(layout.globalTableSize, size) << bits;
    EXPECT_EQ(layout.frames.size(), 1u) << "the walk starts after the table, bits " << bits;
  }
}

TEST(GifWalkTest, FramesCarryTheirControlExtensionAndDescriptor) {
  GifFrameRecipe first = Frame(50, 2, 1, 2, 30, 40);
  first.localTable = true;  // its 6 bytes must be stepped over to find the next frame
  GifFrameRecipe second = Frame(std::nullopt, 0, 258, 0, 5, 6);
  GifFrameRecipe third = Frame(std::nullopt);
  // Other extensions between a frame's control extension and its image are stepped over and
  // the control extension still belongs to the image.
  third.before = test::Comment("hello") + test::GraphicControl(3, 3) + test::Comment(std::string(300, 'c'));
  std::string application = std::string{'\x21', '\xFF', '\x0B'} + "NETSCAPE2.0" + std::string{'\x03', '\x01', '\x00', '\x00', '\x00'};
  std::string plainText = std::string{'\x21', '\x01', '\x0C'} + std::string(12, '\0') + test::SubBlocks("text") + '\0';
  second.before = application + plainText;

  const std::string gif = BuildGif(400, 300, {first, second, third});
  const GifLayout layout = WalkGif(gif);
  EXPECT_EQ(Describe(layout), (std::vector<std::string>{"50 d2 1,2 30x40", "- d0 258,0 5x6", "3 d3 0,0 1x1"}));
}

TEST(GifWalkTest, AStandaloneFrameIsHeaderTableFrameBytesAndTrailer) {
  GifFrameRecipe withControl = Frame(20, 1, 3, 4, 2, 2);
  GifFrameRecipe withoutControl = Frame(std::nullopt, 0, 0, 0, 1, 1);
  withoutControl.before = test::Comment("not part of the frame");
  const std::string gif = BuildGif(8, 8, {withControl, withoutControl}, 2);
  const GifLayout layout = WalkGif(gif);
  ASSERT_EQ(layout.frames.size(), 2u);

  const std::string head = gif.substr(0, 13 + 12);
  const std::string first = FrameGif(gif, layout, layout.frames[0]);
  EXPECT_EQ(first.substr(0, head.size()), head);
  EXPECT_EQ(first.substr(head.size(), 3), "\x21\xF9\x04") << "starts at the control extension";
  EXPECT_EQ(first.back(), '\x3B');
  const std::string second = FrameGif(gif, layout, layout.frames[1]);
  EXPECT_EQ(second[head.size()], '\x2C') << "starts at the image, without the comment before it";

  for (const GifFrame& frame : layout.frames) {
    const GifLayout alone = WalkGif(FrameGif(gif, layout, frame));
    ASSERT_EQ(alone.frames.size(), 1u);
    EXPECT_EQ(Describe(alone.frames[0]), Describe(frame));
  }
}

TEST(GifWalkTest, TheWalkEndsAtTheTrailerOrAnUnknownBlock) {
  const std::string two = BuildGif(4, 4, {Frame(1), Frame(2)});
  const std::string one = BuildGif(4, 4, {Frame(3)});
  const std::string third = one.substr(13 + 6, one.size() - 13 - 6 - 1);  // its control and image
  const std::pair<std::string, size_t> cases[] = {
      {"", 3}, {"\x3B", 2}, {"\x21\x99\x00", 2}, {std::string(1, '\0'), 2}};
  for (const auto& [between, frames] : cases) {
    const std::string gif = two.substr(0, two.size() - 1) + between + third + "\x3B";
    EXPECT_EQ(WalkGif(gif).frames.size(), frames) << between.size();
  }
}

TEST(GifWalkTest, NotAGifHasNoFrames) {
  for (const std::string& data : {std::string(), std::string("GIF"), std::string("GIF89a\x01\x00\x01"),
                                  std::string("BM") + BuildGif(2, 2, {Frame(std::nullopt)}).substr(2)})
    EXPECT_TRUE(WalkGif(data).frames.empty());
}

// Every frame the walk reports lies whole inside the data, and cutting the data short only ever
// loses frames from the end.
void ExpectFramesInside(const std::string& data) {
  const GifLayout layout = WalkGif(data);
  size_t previousEnd = 0;
  for (const GifFrame& frame : layout.frames) {
    ASSERT_LE(previousEnd, frame.begin);
    ASSERT_LT(frame.begin, frame.end);
    ASSERT_LE(frame.end, data.size());
    previousEnd = frame.end;
    ASSERT_FALSE(FrameGif(data, layout, frame).empty());
  }
}

TEST(GifWalkTest, TruncatedAtEveryLengthNeverReadsPastTheData) {
  GifFrameRecipe big = Frame(10, 2, 0, 0, 40, 40);
  big.localTable = true;
  GifFrameRecipe commented = Frame(0, 3, 1, 1, 2, 2);
  commented.before = test::Comment(std::string(600, 'x'));
  const std::string gif = BuildGif(64, 64, {big, commented, Frame(std::nullopt)}, 8);
  const size_t complete = WalkGif(gif).frames.size();
  ASSERT_EQ(complete, 3u);
  size_t previous = 0;
  for (size_t length = 0; length <= gif.size(); ++length) {
    // A copy of exactly that length, so the sanitizer sees any read past it.
    const std::string cut(gif.data(), length);
    ExpectFramesInside(cut);
    const size_t frames = WalkGif(cut).frames.size();
    ASSERT_GE(frames, previous) << length;
    previous = frames;
  }
  EXPECT_EQ(previous, complete);
}

TEST(GifWalkTest, RandomBytesAfterAGifHeaderEndSafely) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 2000; ++round) {
    std::string data = "GIF89a";
    const size_t length = random() % 200;
    for (size_t i = 0; i < length; ++i) {
      // Mostly block starts and small sizes, so the walk gets somewhere.
      const char picks[] = {'\x21', '\x2C', '\xF9', '\x00', '\x01', '\x04', '\xFE', '\xFF', '\x80'};
      data.push_back(random() % 3 ? picks[random() % sizeof picks] : static_cast<char>(random()));
    }
    ExpectFramesInside(data);
  }
}

}  // namespace
}  // namespace tw
