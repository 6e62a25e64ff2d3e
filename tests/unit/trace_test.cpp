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
