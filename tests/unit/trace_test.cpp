// The diagnostic trace: one parseable line per decision, values quoted when needed.
#include <gtest/gtest.h>

#include "project/trace.h"
#include "platform/fake/fake_platform.h"

namespace tw {
namespace {

TEST(Trace, LinesCarryAreaEventAndQuotedValues) {
  FakePlatform fake;
  fake.system.environment["TARNWICK_LOG"] = "C:\\t.log";
  Trace trace(fake.files, fake.system);
  ASSERT_TRUE(trace.Enabled());
  trace.Write("install", "copy", {{"dest", "C:\\App\\a b.exe"}, {"result", "ok"}});
  trace.Write("dialog", "message", {{"text", "line1\r\nsaid \"hi\""}, {"empty", ""}});
  EXPECT_EQ(fake.files.ReadAll("C:\\t.log").value_or(""),
            "install copy dest=\"C:\\App\\a b.exe\" result=ok\n"
            "dialog message text=\"line1\\r\\nsaid \"\"hi\"\"\" empty=\"\"\n");
}

// A failure's line ends in the system's code and words for it; writing it leaves the thread's error
// as it was, for the dialog that may follow.
TEST(Trace, AFailedOperationCarriesTheSystemsReason) {
  FakePlatform fake;
  fake.system.environment["TARNWICK_LOG"] = "C:\\t.log";
  Trace trace(fake.files, fake.system);
  EXPECT_FALSE(fake.files.Copy("C:\\missing.txt", "C:\\b.txt", true));
  trace.WriteResult("install", "copy", {{"dest", "b"}}, false);
  EXPECT_EQ(LastSystemError().code, kErrorFileNotFound);
  trace.WriteResult("install", "copy", {{"dest", "c"}}, true);
  trace.Write("install", "service", {{"name", "x"}}, SystemError{kErrorServiceExists});
  trace.Write("install", "service", {{"name", "y"}}, SystemError{});
  EXPECT_EQ(fake.files.ReadAll("C:\\t.log").value_or(""),
            "install copy dest=b result=failed error=2 reason=\"The system cannot find the file specified\"\n"
            "install copy dest=c result=ok\n"
            "install service name=x error=1073 reason=\"The specified service already exists\"\n"
            "install service name=y\n");
}

TEST(Trace, SilentWithoutTheVariable) {
  FakePlatform fake;
  Trace trace(fake.files, fake.system);
  EXPECT_FALSE(trace.Enabled());
  trace.Write("a", "b");
  fake.system.environment["TARNWICK_LOG"] = "";
  Trace empty(fake.files, fake.system);
  EXPECT_FALSE(empty.Enabled());
}

}  // namespace
}  // namespace tw
