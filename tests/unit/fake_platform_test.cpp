// The fakes' own test controls: fault injection, denial, and the profile writer's file layout; and
// the platform's name rules (wildcards, plain file names).
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "platform/text.h"
#include "platform/wildcard.h"

namespace tw {
namespace {

// UTF-8 in and out: a byte that starts no character comes through as itself, so nothing is lost;
// stored text stays in the code page while it fits and becomes marked UTF-8 once it does not.
TEST(StoredText, KeepsTheCodePageWhileEveryCharacterFits) {
  FakeSystemInfo system;
  const struct {
    std::string text, stored, key;
  } cases[] = {
      {"plain", "plain", "PLAIN"},
      {"café œ ÿ", "caf\xE9 \x9C \xFF", "CAFÉ Œ Ÿ"},
      {"日本語＼x", "\xEF\xBB\xBF日本語＼x", "日本語＼X"},
      {"a\xE9z", "a\xE9z", "A\xC3\x89Z"},  // a lone 1252 byte reads as its character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToStored(system, c.text), c.stored) << c.text;
    EXPECT_EQ(system.CaseKey(c.text), c.key) << c.text;
    std::string again;
    for (char32_t character : DecodeUtf8(c.text)) AppendUtf8(again, character);
    EXPECT_EQ(DecodeUtf8(again), DecodeUtf8(c.text)) << c.text;
  }
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80\xED\xA0\x80"), (std::u32string{0x1F600, 0xED, 0xA0, 0x80}));
}

// A fixed buffer cuts a name at a character, never inside one.
TEST(StoredText, ACutNeverSplitsACharacter) {
  const std::string name = "ab\xe6\x97\xa5\xf0\x9f\x98\x80";  // "ab", a CJK character, an emoji
  const std::pair<size_t, std::string> cuts[] = {{2, "ab"}, {3, "ab"}, {4, "ab"}, {5, "ab\xe6\x97\xa5"},
                                                 {8, "ab\xe6\x97\xa5"}, {9, name}, {50, name}};
  for (const auto& [bytes, expected] : cuts) EXPECT_EQ(Utf8Prefix(name, bytes), expected) << bytes;
}

TEST(Wildcard, MatchesLikeFindFirstFile) {
  EXPECT_TRUE(WildcardMatch("*.*", "README"));
  EXPECT_TRUE(WildcardMatch("^!*.*", "^!back.bmp"));
  EXPECT_TRUE(WildcardMatch("^!*.*", "^!noext"));
  EXPECT_FALSE(WildcardMatch("^!*.*", "back.bmp"));
  EXPECT_TRUE(WildcardMatch("*.LCD", "welcome.lcd"));
  EXPECT_TRUE(WildcardMatch("a?c", "abc"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*a*b*c*", std::string(5000, 'a') + "bc"));
  EXPECT_FALSE(WildcardMatch("*a*b*c*d", std::string(5000, 'a') + "bc")) << "no exponential backtracking";
}

TEST(PlainFileName, RefusesNamesThatLeaveTheFolderOrOpenADevice) {
  for (const char* refused : {"", ".", "..", "a.", "b ", "sub\\a", "a/b", "c:x", "a*b", "tab\tname", "CON", "con",
                              "Nul.txt", "prn.tar.gz", "aux .log", "NUL  .txt", "COM1", "com9.dat", "LPT1", "lpt5.txt",
                              "CONIN$", "conout$.txt", "COM\xB9", "lpt\xC2\xB2.txt"})
    EXPECT_FALSE(IsPlainFileName(refused)) << refused;
  for (const char* kept : {"a.txt", "...x", "a..b", "COM10", "com", "LPT", "nul2", "console.txt", "connect.exe",
                           "auxiliary.dll", "readme.nul", "a.con", "x con", "COMA.txt", "lpt\xC2\xB2x"})
    EXPECT_TRUE(IsPlainFileName(kept)) << kept;
}

// The counting forms, each call's own error, and the writes through the objects the wrapper hands out.
TEST(FaultyFileSystem, FailsTheChosenCallsOnly) {
  FakeFileSystem fake;
  FaultyFileSystem files(fake);
  fake.MakeFolders("C:\\d");
  fake.WriteAll("C:\\d\\a", "x");
  struct Case {
    int nth;
    std::vector<bool> copies;  // which of four copies go through
  } cases[] = {{0, {false, false, false, false}}, {2, {true, false, true, true}}, {-3, {false, false, false, true}}};
  for (const Case& c : cases) {
    files.ClearFailures();
    files.FailWhen(FsOp::Copy, "\\B", c.nth, kErrorDiskFull);
    for (size_t i = 0; i < c.copies.size(); ++i) {
      ClearSystemError();
      EXPECT_EQ(files.Copy("C:\\d\\a", "C:\\d\\b", true), c.copies[i]) << c.nth << " call " << i;
      EXPECT_EQ(LastSystemError().code, c.copies[i] ? 0u : kErrorDiskFull);
      EXPECT_TRUE(files.Copy("C:\\d\\a", "C:\\d\\c", true)) << "another path never counts";
    }
  }
  files.FailWhen(FsOp::Write, "s.bin", 2);  // the creation, then the first write
  auto stamped = files.CreateStamped("C:\\d\\s.bin", {});
  ASSERT_TRUE(stamped);
  EXPECT_FALSE(stamped->Write("abc", 3));
  EXPECT_FALSE(stamped->Write("abc", 3)) << "a failed write stays failed";
  EXPECT_FALSE(stamped->MoveTo("C:\\d\\t.bin", false));
  EXPECT_FALSE(stamped->Close());
  EXPECT_EQ(fake.ReadAll("C:\\d\\s.bin"), "");
  files.FailWhen(FsOp::Write, "log.txt", 2);
  auto log = files.OpenAppend("C:\\d\\log.txt");
  EXPECT_TRUE(log && !log->Write("1") && log->Write("2"));
  files.FailWhen(FsOp::Write, "out.bin", 2);
  *files.OpenWrite("C:\\d\\out.bin") << "lost";
  EXPECT_EQ(fake.ReadAll("C:\\d\\out.bin"), "") << "the block handed on as the stream closes fails";
  log.reset();
  EXPECT_EQ(fake.ReadAll("C:\\d\\log.txt"), "2");
}

TEST(FakeFileSystem, PathsNeverClimbAboveTheDriveRoot) {
  FakeFileSystem files;
  files.MakeFolders("C:\\a");
  auto root = files.HostPath("C:\\");
  auto escaped = files.HostPath("C:\\a\\..\\..\\..\\etc");
  EXPECT_EQ(escaped.string().rfind(root.string(), 0), 0u) << escaped;
}

TEST(FakeRegistry, DenialCoversTheKeyAndItsChildren) {
  FakeRegistry registry;
  registry.CreateKey(RegRoot::LocalMachine, "Software\\A\\B");
  registry.WriteString(RegRoot::LocalMachine, "Software\\A\\B", "v", "x", false);
  registry.Deny(RegRoot::LocalMachine, "software\\a", RegAccess::Write);
  EXPECT_TRUE(registry.CanOpen(RegRoot::LocalMachine, "Software\\A\\B", RegAccess::Read));
  EXPECT_FALSE(registry.CanOpen(RegRoot::LocalMachine, "Software\\A\\B", RegAccess::All));
  EXPECT_FALSE(registry.WriteString(RegRoot::LocalMachine, "Software\\A\\B", "v", "y", false));
  EXPECT_EQ(registry.ReadString(RegRoot::LocalMachine, "Software\\A\\B", "v").value_or(""), "x");
  registry.Deny(RegRoot::LocalMachine, "Software\\A", RegAccess::Read);
  EXPECT_FALSE(registry.ReadString(RegRoot::LocalMachine, "Software\\A\\B", "v").has_value());
  EXPECT_EQ(registry.ValueType(RegRoot::LocalMachine, "Software\\A\\B", "v"), 0);
}

TEST(FakeProfileFiles, WritesKeepTheFileReadable) {
  FakePlatform fake;
  fake.files.WriteAll("C:\\x.ini", "; comment\r\n[One]\r\na=1\r\n\r\n[Two]\r\nb=2\r\n");
  ASSERT_TRUE(fake.profiles.WriteValue("C:\\x.ini", "one", "c", "3"));
  ASSERT_TRUE(fake.profiles.WriteValue("C:\\x.ini", "Three", "d", "4"));
  EXPECT_EQ(fake.files.ReadAll("C:\\x.ini").value_or(""),
            "; comment\r\n[One]\r\na=1\r\nc=3\r\n\r\n[Two]\r\nb=2\r\n[Three]\r\nd=4\r\n");
}

}  // namespace
}  // namespace tw
