// The administrator's command line: switches, quoting, the /D= folder that runs to the end of the
// line, and the lines refused.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace tw {
namespace {

TEST(CommandLineTest, ReadsTheSwitchesAndTheirValues) {
  struct Case {
    const char* line;
    bool silent, help;
    const char* installDir;
    const char* logFile;
  };
  const Case cases[] = {
      {"", false, false, "", ""},
      {"   ", false, false, "", ""},
      {"/S", true, false, "", ""},
      {"/s", true, false, "", ""},
      {"/?", false, true, "", ""},
      {"/S /D=C:\\Other Place\\ /LOG=C:\\t.log", true, false, "C:\\Other Place\\", "C:\\t.log"},
      {"/D=C:\\Apps -S Folder /s", true, false, "C:\\Apps -S Folder", ""},
      {"/S /LOG=C:\\t.log /D=C:\\Other Place\\", true, false, "C:\\Other Place\\", "C:\\t.log"},
      {"/D=C:\\Other  Place   ", false, false, "C:\\Other  Place", ""},
      {"/d=\"C:\\Quoted Place\"", false, false, "C:\\Quoted Place", ""},
      {"\"/D=C:\\Quoted Whole\"", false, false, "C:\\Quoted Whole", ""},
      {"/log=\"C:\\my logs\\setup.log\" /S", true, false, "", "C:\\my logs\\setup.log"},
      {"/LOG=C:\\a\"b c\"d.log", false, false, "", "C:\\ab cd.log"},
  };
  for (const Case& c : cases) {
    CommandLine line = ParseCommandLine(c.line);
    EXPECT_EQ(line.error, "") << c.line;
    EXPECT_EQ(line.silent, c.silent) << c.line;
    EXPECT_EQ(line.help, c.help) << c.line;
    EXPECT_EQ(line.installDir, c.installDir) << c.line;
    EXPECT_EQ(line.logFile, c.logFile) << c.line;
  }
  const struct {
    const char* line;
    InstallScope scope;
    bool noRestart;
  } scopes[] = {{"/CURRENTUSER", InstallScope::kCurrentUser, false},
                {"/allusers /NORESTART /S", InstallScope::kAllUsers, true},
                {"/NoRestart /D=C:\\A B /CURRENTUSER", InstallScope::kCurrentUser, true}};
  for (const auto& c : scopes) {
    CommandLine line = ParseCommandLine(c.line);
    EXPECT_EQ(line.error, "") << c.line;
    EXPECT_EQ(line.scope, c.scope) << c.line;
    EXPECT_EQ(line.noRestart, c.noRestart) << c.line;
  }
}

TEST(CommandLineTest, RefusesWhatItDoesNotKnowWithTheReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"/X", "Unknown switch: /X"},
      {"/S /quiet", "Unknown switch: /quiet"},
      {"install", "Unknown switch: install"},
      {"/SILENT", "Unknown switch: /SILENT"},
      {"/D=", "/D= needs a value"},
      {"/D=  \"\"", "/D= needs a value"},
      {"/D=Program Files\\App", "The folder:\n\nProgram Files\\App\n\nis invalid. Please reenter."},
      {"/D=\\\\server\\share\\app", "The folder:\n\n\\\\server\\share\\app\n\nis invalid. Please reenter."},
      {"/D=C:\\A|B\\", "The folder:\n\nC:\\A|B\\\n\nis invalid. Please reenter."},
      {"/CURRENTUSER /ALLUSERS", "/CURRENTUSER and /ALLUSERS exclude each other"},
      {"/LOG=", "/LOG= needs a value"},
      {"/D=C:\\" + std::string(300, 'x'), "/D= is too long"},
  };
  for (const auto& [text, error] : cases) EXPECT_EQ(ParseCommandLine(text).error, error) << text;
  // The whole line is read: a switch after a refused one still counts, so /S never shows a window.
  const CommandLine refused = ParseCommandLine("/quiet /S /LOG=C:\\q.log /X");
  EXPECT_EQ(refused.error, "Unknown switch: /quiet") << "the first problem is the one told";
  EXPECT_TRUE(refused.silent);
  EXPECT_EQ(refused.logFile, "C:\\q.log");
}

}  // namespace
}  // namespace tw
