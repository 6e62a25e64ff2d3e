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
      {"/D=C:\\Apps /Sub Folder /s", true, false, "C:\\Apps /Sub Folder", ""},
      {"/S /LOG=C:\\t.log /D=C:\\Other Place\\", true, false, "C:\\Other Place\\", "C:\\t.log"},
      {"/D=C:\\Other  Place   ", false, false, "C:\\Other  Place", ""},
      {"/d=\"C:\\Quoted Place\"", false, false, "C:\\Quoted Place", ""},
      {"\"/D=C:\\Quoted Whole\"", false, false, "C:\\Quoted Whole", ""},
      {"/D=\\\\server\\share\\app", false, false, "\\\\server\\share\\app", ""},
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
}

TEST(CommandLineTest, RefusesWhatItDoesNotKnowWithTheReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"/X", "Unknown switch: /X"},
      {"/S /quiet", "Unknown switch: /quiet"},
      {"install", "Unknown switch: install"},
      {"/SILENT", "Unknown switch: /SILENT"},
      {"/D=", "/D= needs a value"},
      {"/D=  \"\"", "/D= needs a value"},
      {"/D=Program Files\\App", "/D= needs a full path, such as C:\\Program Files\\Product"},
      {"/LOG=", "/LOG= needs a value"},
      {"/D=C:\\" + std::string(300, 'x'), "/D= is too long"},
  };
  for (const auto& [text, error] : cases) EXPECT_EQ(ParseCommandLine(text).error, error) << text;
  EXPECT_TRUE(ParseCommandLine("/S /X").silent) << "a refused silent line still shows no window";
}

}  // namespace
}  // namespace tw
