// What every FileSystem must answer, checked on the fake and on the real Win32 implementation.
#include <algorithm>

#include "contract_env.h"

namespace tw {
namespace {

using FileSystemContract = ContractTest;

TEST_F(FileSystemContract, FoldersAreMadeOneLevelAtATime) {
  EXPECT_TRUE(files().MakeFolder(At("a")));
  EXPECT_FALSE(files().MakeFolder(At("a"))) << "an existing folder is not made again";
  EXPECT_FALSE(files().MakeFolder(At("missing\\b"))) << "the parent must exist";
  EXPECT_TRUE(files().IsFolder(At("a")));
  EXPECT_TRUE(files().Exists(At("a\\")));
  EXPECT_TRUE(files().RemoveFolder(At("a")));
  EXPECT_FALSE(files().Exists(At("a")));
}

TEST_F(FileSystemContract, NamesMatchWithoutRegardToCase) {
  ASSERT_TRUE(files().WriteAll(At("Setup.INF"), "x"));
  EXPECT_TRUE(files().Exists(At("setup.inf")));
  EXPECT_EQ(files().ReadAll(At("SETUP.inf")).value_or(""), "x");
  EXPECT_TRUE(files().Exists(Dir().substr(0, Dir().size() - 1)));
}

// Names outside the ANSI code page survive whole, and a fullwidth backslash stays a character of the
// name: it never becomes a separator on its way through the system.
TEST_F(FileSystemContract, NamesInAnyScriptStayOneName) {
  const std::string folder = At("日本語＼フォルダ"), file = folder + "\\ｆｉｌｅ＼é.txt";
  ASSERT_TRUE(files().MakeFolder(folder));
  ASSERT_TRUE(files().WriteAll(file, "x"));
  EXPECT_EQ(files().Find(At("*")), std::vector<std::string>{"日本語＼フォルダ"});
  EXPECT_EQ(files().Find(folder + "\\*.txt"), std::vector<std::string>{"ｆｉｌｅ＼é.txt"});
  EXPECT_FALSE(files().Exists(At("日本語"))) << "no folder is made from the part before the backslash";
  EXPECT_EQ(files().ReadAll(file).value_or(""), "x");
  EXPECT_TRUE(files().Copy(file, folder + "\\コピー.txt", false));
  EXPECT_TRUE(files().Move(folder + "\\コピー.txt", At("移動.txt")));
  EXPECT_EQ(files().ReadAll(At("移動.txt")).value_or(""), "x");
  EXPECT_EQ(files().Remove(file), Removal::kRemoved);
  EXPECT_TRUE(files().RemoveFolder(folder));
}

// A stored text file is the machine's ANSI code page (Windows-1252 here) unless it starts with the
// UTF-8 byte-order mark, which is dropped.
TEST_F(FileSystemContract, StoredTextIsReadAsTheCodePageOrAsMarkedUtf8) {
  if (platform().system.AnsiToUtf8("\xE9") != "é") GTEST_SKIP() << "the machine's code page is not Windows-1252";
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"}, {"caf\xE9 \x80", "café €"}, {"\xEF\xBB\xBF日本語", "日本語"}, {"\xEF\xBB\xBF", ""},
      {std::string("\xFF\xFEh\0\xE9\0\xE5\x65\x3D\xD8\x00\xDE", 12), "hé日😀"},
      {std::string("\xFE\xFF\0h\xFF\x3C", 6), "h＼"}};
  for (const auto& [bytes, text] : cases) {
    ASSERT_TRUE(files().WriteAll(At("t.txt"), bytes));
    EXPECT_EQ(files().ReadText(At("t.txt")).value_or("?"), text) << bytes;
  }
  EXPECT_FALSE(files().ReadText(At("missing.txt")).has_value());
}

TEST_F(FileSystemContract, AFileIsNotAFolder) {
  ASSERT_TRUE(files().WriteAll(At("f.txt"), "data"));
  EXPECT_TRUE(files().Exists(At("f.txt")));
  EXPECT_FALSE(files().Exists(At("f.txt\\")));
  EXPECT_FALSE(files().IsFolder(At("f.txt")));
  EXPECT_FALSE(files().Exists(At("nothing.txt")));
  auto attributes = files().Attributes(At("f.txt"));
  ASSERT_TRUE(attributes.has_value());
  EXPECT_EQ(*attributes & kAttrFolder, 0u);
  EXPECT_NE(files().Attributes(At("")).value_or(0) & kAttrFolder, 0u);
  EXPECT_FALSE(files().Attributes(At("nothing.txt")).has_value());
}

TEST_F(FileSystemContract, WholeFilesAreWrittenReadAndAppended) {
  const std::string binary("a\0b\r\nc\xff", 7);
  ASSERT_TRUE(files().WriteAll(At("b.bin"), binary));
  EXPECT_EQ(files().ReadAll(At("b.bin")).value_or(""), binary);
  ASSERT_TRUE(files().WriteAll(At("b.bin"), "short"));
  EXPECT_EQ(files().ReadAll(At("b.bin")).value_or(""), "short") << "writing truncates";
  ASSERT_TRUE(files().Append(At("b.bin"), "+more"));
  ASSERT_TRUE(files().Append(At("new.log"), "line\n"));
  EXPECT_EQ(files().ReadAll(At("b.bin")).value_or(""), "short+more");
  EXPECT_EQ(files().ReadAll(At("new.log")).value_or(""), "line\n");
  EXPECT_FALSE(files().ReadAll(At("missing")).has_value());
  EXPECT_FALSE(files().WriteAll(At("no\\such\\folder.txt"), "x"));
}

TEST_F(FileSystemContract, StreamsOpenFilesButNotFolders) {
  ASSERT_TRUE(files().MakeFolder(At("dir")));
  EXPECT_EQ(files().OpenRead(At("dir")), nullptr);
  EXPECT_EQ(files().OpenRead(At("missing")), nullptr);
  auto out = files().OpenWrite(At("s.bin"));
  ASSERT_NE(out, nullptr);
  *out << "streamed";
  out.reset();
  auto in = files().OpenRead(At("s.bin"));
  ASSERT_NE(in, nullptr);
  std::string word;
  *in >> word;
  EXPECT_EQ(word, "streamed");
}

// A member unpacked from a cabinet: written, then stamped as it is closed; a read-only file left
// at the path by a run that stopped halfway is written over.
TEST_F(FileSystemContract, AStampedFileIsWrittenThenStamped) {
  const FileStamp readOnly{0x5A21, 0x6000, kAttrReadOnly | kAttrArchive}, plain{0x5A21, 0x6000, kAttrArchive};
  for (int round = 0; round < 2; ++round) {
    auto out = files().CreateStamped(At("m.bin"), readOnly);
    ASSERT_NE(out, nullptr) << "round " << round;
    EXPECT_TRUE(out->Write("ab", 2));
    EXPECT_TRUE(out->Write("cd", 2));
    EXPECT_TRUE(out->Close());
    EXPECT_EQ(files().ReadAll(At("m.bin")).value_or(""), "abcd");
    EXPECT_NE(files().Attributes(At("m.bin")).value_or(0) & kAttrReadOnly, 0u);
  }
  auto out = files().CreateStamped(At("m.bin"), plain);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(files().ReadAll(At("m.bin")).value_or("?"), "");
  EXPECT_EQ(files().Attributes(At("m.bin")).value_or(kAttrReadOnly) & kAttrReadOnly, 0u);
  EXPECT_EQ(files().CreateStamped(At("no\\such\\m.bin"), plain), nullptr);

  // Moved while still open, then closed: only to where nothing is yet, or with replace over a
  // plain file there, which a second name given before keeps.
  ASSERT_TRUE(files().WriteAll(At("old.bin"), "old"));
  EXPECT_TRUE(files().HardLink(At("old.bin"), At("old.keep")));
  EXPECT_FALSE(files().HardLink(At("old.bin"), At("m.bin"))) << "a name that is taken";
  const struct {
    const char* target;
    bool replace, moves;
  } moves[] = {{"moved.bin", false, true}, {"m.bin", false, false}, {"old.bin", true, true}, {"moved.bin", true, false}};
  for (const auto& move : moves) {
    auto open = files().CreateStamped(At("t.bin"), readOnly);
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->Write("xyz", 3));
    EXPECT_EQ(open->MoveTo(At(move.target), move.replace), move.moves) << move.target;
    EXPECT_TRUE(open->Close()) << move.target;
    const std::string at = move.moves ? move.target : "t.bin";
    EXPECT_EQ(files().ReadAll(At(at)).value_or(""), "xyz") << move.target;
    EXPECT_NE(files().Attributes(At(at)).value_or(0) & kAttrReadOnly, 0u) << move.target;
  }
  EXPECT_EQ(files().ReadAll(At("m.bin")).value_or("?"), "") << "what was there is left alone";
  EXPECT_EQ(files().ReadAll(At("old.keep")).value_or(""), "old") << "the second name keeps the replaced data";
}

TEST_F(FileSystemContract, CopyHonoursReplaceAndReadOnly) {
  ASSERT_TRUE(files().WriteAll(At("src"), "new"));
  ASSERT_TRUE(files().WriteAll(At("dst"), "old"));
  EXPECT_FALSE(files().Copy(At("src"), At("dst"), false));
  EXPECT_EQ(files().ReadAll(At("dst")).value_or(""), "old");
  EXPECT_TRUE(files().Copy(At("src"), At("dst"), true));
  EXPECT_EQ(files().ReadAll(At("dst")).value_or(""), "new");
  EXPECT_FALSE(files().Copy(At("missing"), At("dst2"), true));

  ASSERT_TRUE(files().SetAttributes(At("dst"), kAttrReadOnly));
  EXPECT_NE(files().Attributes(At("dst")).value_or(0) & kAttrReadOnly, 0u);
  EXPECT_EQ(files().Remove(At("dst")), Removal::kRefused) << "a read-only file is not deleted";
  EXPECT_EQ(files().RemoveOwn(At("dst")), Removal::kRefused) << "nor by the removal that does not look after";
  ASSERT_TRUE(files().SetAttributes(At("dst"), kAttrNormal));
  EXPECT_EQ(files().Remove(At("dst")), Removal::kRemoved);
  EXPECT_EQ(files().Remove(At("dst")), Removal::kMissing);
  ASSERT_TRUE(files().Copy(At("src"), At("dst"), false));
  EXPECT_EQ(files().RemoveOwn(At("dst")), Removal::kRemoved);
  EXPECT_FALSE(files().Exists(At("dst")));
  EXPECT_EQ(files().RemoveOwn(At("dst")), Removal::kMissing);
}

TEST_F(FileSystemContract, MoveRenamesButNeverOverwrites) {
  ASSERT_TRUE(files().WriteAll(At("a"), "A"));
  ASSERT_TRUE(files().WriteAll(At("b"), "B"));
  EXPECT_FALSE(files().Move(At("a"), At("b")));
  ASSERT_TRUE(files().MakeFolder(At("sub")));
  EXPECT_TRUE(files().Move(At("a"), At("sub\\c")));
  EXPECT_FALSE(files().Exists(At("a")));
  EXPECT_EQ(files().ReadAll(At("sub\\c")).value_or(""), "A");
  EXPECT_TRUE(files().Move(At("sub"), At("sub2"))) << "folders move too";
  EXPECT_TRUE(files().Exists(At("sub2\\c")));
}

TEST_F(FileSystemContract, ReplaceMovesOverAFileButNotOverAReadOnlyOne) {
  ASSERT_TRUE(files().WriteAll(At("new"), "N"));
  ASSERT_TRUE(files().WriteAll(At("old"), "O"));
  EXPECT_TRUE(files().Replace(At("new"), At("old")));
  EXPECT_FALSE(files().Exists(At("new")));
  EXPECT_EQ(files().ReadAll(At("old")).value_or(""), "N");
  EXPECT_TRUE(files().Replace(At("old"), At("fresh"))) << "nothing to replace is fine too";

  ASSERT_TRUE(files().WriteAll(At("next"), "X"));
  ASSERT_TRUE(files().SetAttributes(At("fresh"), kAttrReadOnly));
  EXPECT_FALSE(files().Replace(At("next"), At("fresh")));
  EXPECT_EQ(files().ReadAll(At("next")).value_or(""), "X") << "the source stays for another try";
  ASSERT_TRUE(files().SetAttributes(At("fresh"), kAttrNormal));
}

// The log's appender: every Write is in the file at once, while the file stays open.
TEST_F(FileSystemContract, AnAppenderWritesThroughAtOnce) {
  ASSERT_TRUE(files().WriteAll(At("log"), "A=1\r\n"));
  auto log = files().OpenAppend(At("log"));
  ASSERT_NE(log, nullptr);
  EXPECT_TRUE(log->Write("B=2\r\n"));
  EXPECT_EQ(files().ReadAll(At("log")).value_or(""), "A=1\r\nB=2\r\n");
  EXPECT_TRUE(log->Write("C=3\r\n"));
  EXPECT_EQ(files().ReadAll(At("log")).value_or(""), "A=1\r\nB=2\r\nC=3\r\n");
  EXPECT_EQ(files().OpenAppend(At("missing\\log")), nullptr);
}

TEST_F(FileSystemContract, FindMatchesWildcardsLikeWindows) {
  for (const char* name : {"^!back.bmp", "^!welcome.lcd", "plain.txt", "README", "^!noext"})
    ASSERT_TRUE(files().WriteAll(At(name), "x"));
  ASSERT_TRUE(files().MakeFolder(At("folder")));
  auto sorted = [](std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  EXPECT_EQ(sorted(files().Find(At("^!*.*"))),
            (std::vector<std::string>{"^!back.bmp", "^!noext", "^!welcome.lcd"}));
  EXPECT_EQ(files().Find(At("*.*")).size(), 6u) << "\"*.*\" also matches names without a dot";
  EXPECT_EQ(sorted(files().Find(At("*.TXT"))), (std::vector<std::string>{"plain.txt"}));
  EXPECT_EQ(sorted(files().Find(At("READM?"))), (std::vector<std::string>{"README"}));
  EXPECT_TRUE(files().Find(At("*.none")).empty());
  EXPECT_TRUE(files().Find(At("missing\\*.*")).empty());
}

TEST_F(FileSystemContract, RemoveTreeTakesEverythingInside) {
  ASSERT_TRUE(files().MakeFolder(At("t")));
  ASSERT_TRUE(files().MakeFolder(At("t\\deep")));
  ASSERT_TRUE(files().WriteAll(At("t\\deep\\f"), "x"));
  ASSERT_TRUE(files().WriteAll(At("t\\ro"), "x"));
  ASSERT_TRUE(files().SetAttributes(At("t\\ro"), kAttrReadOnly));
  ASSERT_TRUE(files().MakeFolder(At("outside")));
  ASSERT_TRUE(files().WriteAll(At("outside\\kept"), "x"));
  ASSERT_TRUE(ContractMakeFolderLink(At("t\\deep\\link"), At("outside")));
  EXPECT_TRUE(files().RemoveTree(At("t\\"), LeftInUse::kStays));
  EXPECT_FALSE(files().Exists(At("t")));
  EXPECT_TRUE(files().Exists(At("outside\\kept"))) << "a link inside is removed, not followed";
  EXPECT_FALSE(files().RemoveTree(At("t"), LeftInUse::kStays));
  ASSERT_TRUE(files().WriteAll(At("file"), "x"));
  EXPECT_FALSE(files().RemoveTree(At("file"), LeftInUse::kStays)) << "only folders are removed as trees";
  EXPECT_TRUE(files().Exists(At("file")));
}

// A file a program holds open (here without delete sharing, as a log is held) is in use: it stays,
// and so does its folder, while everything else goes.
TEST_F(FileSystemContract, WhatAProgramHoldsIsInUseAndStays) {
  ASSERT_TRUE(files().MakeFolder(At("t")));
  ASSERT_TRUE(files().WriteAll(At("t\\other"), "x"));
  {
    auto held = files().OpenAppend(At("t\\held"));
    ASSERT_TRUE(held);
    EXPECT_EQ(files().Remove(At("t\\held")), Removal::kInUse);
    TreeRemoval tree = files().RemoveTree(At("t"), LeftInUse::kStays);
    EXPECT_FALSE(tree.removed);
    EXPECT_EQ(tree.inUse, 1);
    EXPECT_EQ(tree.refused + tree.atRestart, 0);
    EXPECT_FALSE(files().Exists(At("t\\other")));
    EXPECT_TRUE(files().Exists(At("t\\held")));
  }
  EXPECT_TRUE(files().RemoveTree(At("t"), LeftInUse::kStays)) << "once let go, it goes";
}

// The work folder's kind: made like any folder, and its maker writes into it.
TEST_F(FileSystemContract, APrivateFolderIsMadeOnceAndItsOwnerWritesInIt) {
  EXPECT_TRUE(files().MakePrivateFolder(At("p\\")));
  EXPECT_TRUE(files().IsFolder(At("p")));
  EXPECT_TRUE(files().WriteAll(At("p\\f"), "x"));
  EXPECT_EQ(files().FileSize(At("p\\f")), std::optional<uint64_t>(1));
  EXPECT_FALSE(files().FileSize(At("p")).has_value()) << "a folder has no size";
  EXPECT_FALSE(files().MakePrivateFolder(At("p")));
  EXPECT_FALSE(files().MakePrivateFolder(At("missing\\p")));
}

TEST_F(FileSystemContract, RemovalAtRestartLeavesTheFileForNow) {
  EXPECT_FALSE(files().RemoveAtRestart(At("missing"))) << "nothing to remove";
  ASSERT_TRUE(files().WriteAll(At("held"), "x"));
  EXPECT_TRUE(files().RemoveAtRestart(At("held")));
  EXPECT_TRUE(files().Exists(At("held"))) << "it goes only when the system starts again";
}

TEST_F(FileSystemContract, OnlyFilesWithAVersionResourceHaveAVersion) {
  ASSERT_TRUE(files().WriteAll(At("plain.dll"), "MZ but no resources"));
  ASSERT_TRUE(files().MakeFolder(At("folder.dll")));
  EXPECT_FALSE(files().FileVersion(At("plain.dll")).has_value());
  EXPECT_FALSE(files().FileVersion(At("folder.dll")).has_value());
  EXPECT_FALSE(files().FileVersion(At("missing.dll")).has_value());

  // The fake's machine has no system libraries; the real one reads their string table.
  const std::string library = platform().system.SystemFolder() + "\\kernel32.dll";
  if (!files().Exists(library)) GTEST_SKIP() << "no system library to read";
  std::string version = files().FileVersion(library).value_or("");
  ASSERT_FALSE(version.empty());
  EXPECT_TRUE(version[0] >= '0' && version[0] <= '9') << version;
  EXPECT_NE(version.find('.'), std::string::npos) << version;
}

TEST_F(FileSystemContract, CurrentFolderIsAnAbsolutePath) {
  std::string current = files().CurrentFolder();
  ASSERT_GE(current.size(), 2u);
  EXPECT_EQ(current[1], ':');
  EXPECT_TRUE(files().IsFolder(current));
  EXPECT_FALSE(files().SetCurrentFolder(At("missing")));
  ASSERT_TRUE(files().MakeFolder(At("here")));
  ASSERT_TRUE(files().SetCurrentFolder(At("here")));
  EXPECT_TRUE(files().WriteAll("relative.txt", "x")) << "relative paths follow the current folder";
  EXPECT_TRUE(files().Exists(At("here\\relative.txt")));
  EXPECT_TRUE(files().SetCurrentFolder(current));
}

}  // namespace
}  // namespace tw
