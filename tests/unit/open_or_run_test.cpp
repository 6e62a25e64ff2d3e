// Addresses open with the default handler; programs run, waited for or not.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "support/open_or_run.h"

namespace tw {
namespace {

TEST(OpenOrRun, AddressesOpenAndProgramsRun) {
  FakePlatform fake;
  OpenOrRun(fake.shell, "http://example.test/setup.exe", "/q");
  OpenOrStart(fake.shell, "https://example.test/", "");
  EXPECT_EQ(fake.shell.opened, (std::vector<std::string>{"http://example.test/setup.exe", "https://example.test/"}));
  EXPECT_TRUE(fake.shell.runs.empty());

  OpenOrRun(fake.shell, "C:\\tools\\a.exe", "/x " + std::string(300, 'p'));
  OpenOrStart(fake.shell, "C:\\tools\\b.exe", "");
  ASSERT_EQ(fake.shell.runs.size(), 1u);
  EXPECT_EQ(fake.shell.runs[0].program, "C:\\tools\\a.exe");
  EXPECT_EQ(fake.shell.runs[0].commandLine.size(), 254u) << "parameters are cut to the buffer";
  ASSERT_EQ(fake.shell.started.size(), 1u);
  EXPECT_EQ(fake.shell.started[0].program, "C:\\tools\\b.exe");
}

}  // namespace
}  // namespace tw
