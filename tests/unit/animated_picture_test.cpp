// The animated picture: loading and sizing, the frame timing and disposal on the canvas, and
// stopping the animation thread.
#include <gtest/gtest.h>

#include "test_pictures.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_pictures.h"
#include "support/animated_picture.h"

namespace tw {
namespace {

using std::chrono::milliseconds;
using test::BuildGif;
using test::Frame;

// One log of what the window and the clock were asked to do, in order, shared with the thread.
struct Recorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> events;
  PixelSize resized;

  void Add(const std::string& event) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      events.push_back(event);
    }
    changed.notify_all();
  }
  // The events once there are at least count of them (or after 5 seconds, to fail rather than hang).
  std::vector<std::string> Await(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(5), [&] { return events.size() >= count; });
    return events;
  }
};

// Frames show for no real time unless a test asks for real waits from some length on.
struct RecordingClock : AnimationClock {
  std::shared_ptr<Recorder> recorder;
  milliseconds realFrom = milliseconds::max();
  bool threadEnds = true;

  explicit RecordingClock(std::shared_ptr<Recorder> r) : recorder(std::move(r)) {}
  void ShowFor(milliseconds duration, Signal& stop) override {
    recorder->Add("show " + std::to_string(duration.count()));
    if (duration >= realFrom && stop.WaitFor(duration)) recorder->Add("woken");
  }
  bool AwaitEnd(milliseconds duration, Signal& ended) override {
    EXPECT_EQ(duration, milliseconds(5000));
    return threadEnds ? ended.WaitFor(duration) : false;
  }
};

class AnimatedPictureTest : public ::testing::Test {
 protected:
  FakeFileSystem files;
  FakePictures pictures;
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
  std::shared_ptr<RecordingClock> clock = std::make_shared<RecordingClock>(recorder);
  CAnimatedPicture picture{pictures, files, Window(recorder), clock};

  static PictureWindow Window(const std::shared_ptr<Recorder>& recorder) {
    return {[recorder] { recorder->Add("repaint"); },
            [recorder](int width, int height) { recorder->resized = {width, height}; }};
  }
  bool Load(const std::string& bytes, const std::string& name = "C:\\setup\\splash.gif") {
    files.MakeFolders("C:\\setup");
    files.WriteAll(name, bytes);
    return picture.LoadFile(name);
  }
  std::vector<CanvasOp> CanvasOps() const { return dynamic_cast<FakeCanvas&>(*picture.GetCanvas()).Ops(); }
};

std::string Describe(const CanvasOp& op) {
  const std::string area = std::to_string(op.area.left) + "," + std::to_string(op.area.top) + " " +
                           std::to_string(op.area.width) + "x" + std::to_string(op.area.height);
  switch (op.kind) {
    case CanvasOpKind::Fill: return "fill " + area + " " + std::to_string(op.colour);
    case CanvasOpKind::Render: return "render #" + std::to_string(op.pictureSerial) + " " + area;
    case CanvasOpKind::Save: return "save " + area;
    case CanvasOpKind::Restore: return "restore";
  }
  return "?";
}

std::vector<std::string> Describe(const std::vector<CanvasOp>& ops) {
  std::vector<std::string> out;
  for (const CanvasOp& op : ops) out.push_back(Describe(op));
  return out;
}

const std::string kMenu = std::to_string(0xF0F0F0), kFace = std::to_string(0xC0C0C0);

TEST(FrameShowTimeTest, DelayRules) {
  EXPECT_FALSE(FrameShowTime(std::nullopt)) << "no control extension: the next frame follows at once";
  const std::pair<int, int> cases[] = {{0, 100}, {3, 100}, {4, 100}, {5, 50}, {50, 500},
                                       {1000, 10000}, {1001, 10000}, {5000, 10000}, {65535, 10000}};
  for (const auto& [delay, shown] : cases) EXPECT_EQ(FrameShowTime(delay), milliseconds(shown)) << delay;
}

TEST_F(AnimatedPictureTest, AStillPictureTakesItsNaturalSizeAndIsDrawnOnceOnStart) {
  pictures.pixelsPerInch = {120, 144};  // differing axes catch a swapped conversion
  ASSERT_TRUE(Load(test::BuildBmp(300, 200), "C:\\setup\\splash.bmp"));
  EXPECT_FALSE(picture.IsAnimated());
  EXPECT_EQ(picture.GetSize().width, 300);
  EXPECT_EQ(picture.GetSize().height, 200);
  EXPECT_EQ(recorder->resized.width, 300);
  EXPECT_EQ(recorder->resized.height, 200);
  EXPECT_EQ(Describe(CanvasOps()), std::vector<std::string>{"fill 0,0 300x200 " + kMenu}) << "before Start";

  picture.Start();
  EXPECT_EQ(Describe(CanvasOps()), (std::vector<std::string>{"fill 0,0 300x200 " + kMenu, "render #1 0,0 300x200"}));
  EXPECT_EQ(recorder->events, std::vector<std::string>{"repaint"});
}

TEST_F(AnimatedPictureTest, AOneFrameGifIsAStillPictureOfItsLogicalScreen) {
  ASSERT_TRUE(Load(BuildGif(40, 30, {Frame(50, 0, 5, 5, 10, 10)})));
  EXPECT_FALSE(picture.IsAnimated());
  EXPECT_EQ(picture.GetSize().width, 40);
  EXPECT_EQ(pictures.decodeCalls, 1);
  picture.Start();
  EXPECT_EQ(Describe(CanvasOps()).back(), "render #1 0,0 40x30");
}

TEST_F(AnimatedPictureTest, FramesShowForTheirDelaysAndTheLastOneStays) {
  // The last frame asks to be cleared, but the animation plays once and leaves it shown.
  ASSERT_TRUE(Load(BuildGif(20, 10, {Frame(50), Frame(3, 0, 1, 1, 2, 2), Frame(0, 2, 4, 4, 3, 3)})));
  EXPECT_TRUE(picture.IsAnimated());
  EXPECT_EQ(pictures.decodeCalls, 3);
  picture.Start();
  EXPECT_EQ(recorder->Await(6), (std::vector<std::string>{"repaint", "show 500", "repaint", "show 100",
                                                          "repaint", "show 100"}));
  picture.Stop();
  EXPECT_EQ(Describe(CanvasOps()), (std::vector<std::string>{"fill 0,0 20x10 " + kMenu, "render #1 0,0 1x1",
                                                             "render #2 1,1 2x2", "render #3 4,4 3x3"}));
}

TEST_F(AnimatedPictureTest, DisposalLongDelaysAndFramesWithoutControl) {
  ASSERT_TRUE(Load(BuildGif(16, 16, {Frame(5000, 3, 1, 2, 3, 4), Frame(10, 2, 5, 6, 7, 8), Frame(std::nullopt),
                                     Frame(10)})));
  picture.Start();
  EXPECT_EQ(recorder->Await(7), (std::vector<std::string>{"repaint", "show 10000", "repaint", "show 100",
                                                          "repaint", "repaint", "show 100"}));
  picture.Stop();
  EXPECT_EQ(Describe(CanvasOps()),
            (std::vector<std::string>{"fill 0,0 16x16 " + kMenu, "save 1,2 3x4", "render #1 1,2 3x4", "restore",
                                      "render #2 5,6 7x8", "fill 5,6 7x8 " + kFace, "render #3 0,0 1x1",
                                      "render #4 0,0 1x1"}));
}

TEST_F(AnimatedPictureTest, FramesThatDoNotDecodeAreSkipped) {
  auto corrupt = Frame(20, 0, 2, 2, 1, 1);
  corrupt.extraData = kFakeCorruptMark;
  ASSERT_TRUE(Load(BuildGif(8, 8, {Frame(10), corrupt, Frame(30, 0, 3, 3, 1, 1)})));
  EXPECT_TRUE(picture.IsAnimated());
  picture.Start();
  EXPECT_EQ(recorder->Await(4), (std::vector<std::string>{"repaint", "show 100", "repaint", "show 300"}));
  picture.Stop();
  EXPECT_EQ(Describe(CanvasOps()).back(), "render #2 3,3 1x1");
}

TEST_F(AnimatedPictureTest, LoadFailures) {
  auto corrupt = Frame(20);
  corrupt.extraData = kFakeCorruptMark;
  const std::pair<const char*, std::string> undecodable[] = {
      {"junk", "this is not a picture"},
      {"GIF without frames", BuildGif(8, 8, {}).substr(0, 19)},
      {"every frame corrupt", BuildGif(8, 8, {corrupt, corrupt})},
      {"one corrupt frame", BuildGif(8, 8, {corrupt})},
      {"screen too large for a canvas", BuildGif(65535, 65535, {Frame(1), Frame(1)})},
      {"empty screen", BuildGif(0, 0, {Frame(1), Frame(1)})},
  };
  for (const auto& [what, bytes] : undecodable) {
    ASSERT_TRUE(Load(test::BuildBmp(4, 4), "C:\\setup\\old.bmp"));
    EXPECT_FALSE(Load(bytes)) << what;
    EXPECT_EQ(picture.GetSize().width, 0) << what << ": the control is left empty";
    EXPECT_EQ(picture.GetCanvas(), nullptr) << what;
    picture.Start();  // nothing to show, nothing happens
  }
  ASSERT_TRUE(Load(test::BuildBmp(4, 4), "C:\\setup\\old.bmp"));
  EXPECT_FALSE(picture.LoadFile("C:\\setup\\missing.gif"));
  EXPECT_EQ(picture.GetSize().width, 4) << "a file that cannot be read leaves the old picture";
}

TEST_F(AnimatedPictureTest, ANewLoadStopsARunningAnimationPromptly) {
  clock->realFrom = milliseconds(10000);
  ASSERT_TRUE(Load(BuildGif(8, 8, {Frame(2000, 2), Frame(10)})));
  picture.Start();
  recorder->Await(2);  // the first frame is on show for ten real seconds

  // "woken": the load cut the ten seconds short through the stop signal rather than waiting them out.
  ASSERT_TRUE(Load(test::BuildBmp(6, 6), "C:\\setup\\next.bmp"));
  EXPECT_EQ(recorder->Await(3), (std::vector<std::string>{"repaint", "show 10000", "woken"}))
      << "stopped before the first frame was cleared or the second drawn";
  EXPECT_EQ(picture.GetSize().width, 6);
}

TEST(AnimatedPictureStopTest, AStuckAnimationIsLeftBehindSafely) {
  FakeFileSystem files;
  FakePictures pictures;
  auto recorder = std::make_shared<Recorder>();
  auto clock = std::make_shared<RecordingClock>(recorder);
  clock->threadEnds = false;  // the thread is still busy when Stop gives up waiting
  auto release = std::make_shared<Signal>();
  std::weak_ptr<Recorder> alive = recorder;
  {
    PictureWindow window{[recorder, release] {
                           recorder->Add("repaint");
                           release->WaitFor(std::chrono::seconds(30));
                           recorder->Add("repaint returned");
                         },
                         nullptr};
    CAnimatedPicture picture(pictures, files, window, clock);
    files.MakeFolders("C:\\s");
    files.WriteAll("C:\\s\\a.gif", BuildGif(8, 8, {Frame(10), Frame(10)}));
    ASSERT_TRUE(picture.LoadFile("C:\\s\\a.gif"));
    picture.Start();
    recorder->Await(1);
  }  // the picture, its canvas handle and its frames are gone; the thread still holds its own
  EXPECT_EQ(recorder->Await(1), std::vector<std::string>{"repaint"}) << "Stop waited for the stuck thread";
  clock.reset();
  recorder.reset();
  release->Raise();
  for (int i = 0; i < 500 && !alive.expired(); ++i) std::this_thread::sleep_for(milliseconds(10));
  EXPECT_TRUE(alive.expired()) << "the thread ended at its stop check and let go of what it held";
  // (The sanitizer build checks that it touched nothing the picture had freed.)
}

}  // namespace
}  // namespace tw
