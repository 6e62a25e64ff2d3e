// Web payload downloads: the progress texts, and whole transfers against the scripted HTTP fake
// (with and without a length, cancelled, refused statuses, an explicit port).
#include <gtest/gtest.h>

#include "install_phase_fixture.h"
#include "support/download.h"
#include "support/staged_file.h"

namespace tw {
namespace {

TEST(DownloadTextTest, SizesTimesAndRates) {
  EXPECT_EQ(SizeText(512), "512 Bytes");
  EXPECT_EQ(SizeText(1536), "1.5 KB");
  EXPECT_EQ(SizeText(2621440), "2.50 MB");
  EXPECT_EQ(TimeText(45), "45 sec");
  EXPECT_EQ(TimeText(120), "2 min");
  EXPECT_EQ(TimeText(125), "2 min 5 sec");
  EXPECT_EQ(RateText(0.5), "512 Bytes/Sec");
  EXPECT_EQ(RateText(2.345), "2.35 KB/Sec");
  EXPECT_EQ(RateText(25.4), "25 KB/Sec");
}

class DownloadTest : public InstallPhaseTest {
 protected:
  DownloadTest() {
    files.MakeFolders("C:\\Apps");
    system.programName = "setup";
  }

  // A body of size bytes at address; each read advances the clock by 600 ms.
  FakeHttpResponse& Serve(const std::string& address, size_t size, bool reportLength = true) {
    FakeHttpResponse& response = http.responses[address];
    response.body = std::string(size, 'z');
    for (size_t i = 0; i < size; ++i) response.body[i] = static_cast<char>('a' + i % 26);
    response.reportLength = reportLength;
    response.beforeRead = [this](size_t) { system.tickCount += 600; };
    return response;
  }

  DownloadOutcome Download(const std::string& url) {
    DownloadContext context{platform, flags.cancelRequested, trace, [this](const DownloadStatus& status) {
                              progress.SetDownloadStatus(status.percent, status.timeLeft, status.rate);
                            }, commit};
    return DownloadFile(context, url, kTarget);
  }

  const std::string kTarget = "C:\\Apps\\pkg.bin";
  std::function<bool(StagedFile&)> commit;
};

TEST_F(DownloadTest, CompleteWithLengthOnExplicitPortUpdatesOncePerSecond) {
  const std::string body = Serve("10.0.0.5:8080/dir/pkg.bin", 3000).body;
  DownloadOutcome outcome = Download("http://10.0.0.5:8080/dir/pkg.bin");

  EXPECT_EQ(outcome.result, DownloadOutcome::kCompleted);
  EXPECT_EQ(outcome.status, 200);
  EXPECT_EQ(outcome.bytes, 3000u);
  EXPECT_EQ(files.ReadAll(kTarget), body);
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(http.requests[0].agent, "setup");
  EXPECT_EQ(http.requests[0].port, 8080);
  EXPECT_EQ(http.requests[0].path, "/dir/pkg.bin");
  EXPECT_EQ(http.requests[0].acceptType, "*/*");
  // Reads at +600 ms each: the page hears of the 2nd read (1200 ms on) and of the end of the body.
  EXPECT_EQ(progress.downloadStatuses,
            (std::vector<std::string>{"68,0 sec (2.0 KB of 2.9 KB copied),1.71 KB/Sec",
                                      "100,0 sec (2.9 KB of 2.9 KB copied),812 Bytes/Sec"}));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DownloadTest, CompleteWithoutLengthAndAStaleCancelCleared) {
  const std::string body = Serve("example.com:80/pkg.bin", 5000, false).body;
  flags.cancelRequested = 1;  // left from before this transfer started
  DownloadOutcome outcome = Download("http://example.com/pkg.bin");

  EXPECT_EQ(outcome.result, DownloadOutcome::kCompleted);
  EXPECT_EQ(flags.cancelRequested, 0);
  EXPECT_EQ(files.ReadAll(kTarget), body);
  ASSERT_FALSE(progress.downloadStatuses.empty());
  for (const std::string& status : progress.downloadStatuses) EXPECT_EQ(status.substr(0, 2), "0,") << status;
}

TEST_F(DownloadTest, CancelDuringReadsDeletesThePartialFile) {
  Serve("example.com:80/pkg.bin", 10000).beforeRead = [this](size_t sent) {
    if (sent >= 2048) flags.cancelRequested = 1;
  };
  DownloadOutcome outcome = Download("http://example.com/pkg.bin");

  EXPECT_EQ(outcome.result, DownloadOutcome::kCancelled);
  EXPECT_LT(outcome.bytes, 10000u);
  EXPECT_FALSE(files.Exists(kTarget));
}

TEST_F(DownloadTest, RefusedStatusesAreToldAndNothingIsWritten) {
  for (int status : {404, 401}) {
    ui.shown.clear();
    Serve("example.com:80/pkg.bin", 100).status = status;
    DownloadOutcome outcome = Download("http://example.com/pkg.bin");

    EXPECT_EQ(outcome.result, DownloadOutcome::kFailed) << status;
    EXPECT_EQ(outcome.status, status);
    ASSERT_EQ(ui.shown.size(), 1u) << status;
    EXPECT_EQ(ui.shown[0].text, "Failed to retrieve a HTTP 200 status, Status Code:" + std::to_string(status) +
                                    "\r\nTry later or download using your browser and add this file to Tarnwick Folder.");
    EXPECT_EQ(ui.shown[0].caption, "Setup");
    EXPECT_FALSE(files.Exists(kTarget)) << status;
    EXPECT_FALSE(files.Exists(StagedPathFor(kTarget))) << status;
  }
}

// The file already there survives every way a transfer can end short, and nothing is left beside
// it: a read failing halfway, a cancel, and a complete body that cannot replace a file in use.
TEST_F(DownloadTest, AnUnfinishedTransferLeavesTheExistingFileAsItWas) {
  const struct {
    const char* what;
    std::function<void(FakeHttpResponse&)> arrange;
    DownloadOutcome::Result result;
    const char* failedStep;
  } cases[] = {
      {"read fails", [](FakeHttpResponse& r) { r.failReadAfter = 2048; }, DownloadOutcome::kFailed, "read"},
      {"cancel", [this](FakeHttpResponse& r) { r.beforeRead = [this](size_t sent) { if (sent >= 2048) flags.cancelRequested = 1; }; },
       DownloadOutcome::kCancelled, ""},
      {"target in use", [this](FakeHttpResponse&) { faults.FailWhen(FsOp::Move, kTarget); }, DownloadOutcome::kFailed, "replace"},
  };
  for (const auto& c : cases) {
    faults.ClearFailures();
    http.responses.clear();
    ASSERT_TRUE(files.WriteAll(kTarget, "the user's file"));
    c.arrange(Serve("example.com:80/pkg.bin", 4000));
    DownloadOutcome outcome = Download("http://example.com/pkg.bin");

    EXPECT_EQ(outcome.result, c.result) << c.what;
    EXPECT_EQ(outcome.failedStep, c.failedStep) << c.what;
    EXPECT_EQ(files.ReadAll(kTarget), "the user's file") << c.what;
    EXPECT_FALSE(files.Exists(StagedPathFor(kTarget))) << c.what;
    EXPECT_TRUE(ui.shown.empty()) << c.what;
  }
}

// An installation moves the complete file in its own way: the one it replaces is kept aside.
TEST_F(DownloadTest, ACompleteDownloadIsMovedInByTheCallersCommit) {
  ASSERT_TRUE(files.WriteAll(kTarget, "the user's file"));
  commit = [](StagedFile& staged) { return staged.CommitKeeping(staged.Destination() + ".kept"); };
  const std::string body = Serve("example.com:80/pkg.bin", 100).body;
  EXPECT_EQ(Download("http://example.com/pkg.bin").result, DownloadOutcome::kCompleted);
  EXPECT_EQ(files.ReadAll(kTarget), body);
  EXPECT_EQ(files.ReadAll(kTarget + ".kept"), "the user's file");
}

}  // namespace
}  // namespace tw
