// The file system in memory answers as the fake one on disk does: the same steps, run on both,
// give the same answers one by one.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "platform/fake/fake_file_system.h"
#include "platform/fake/memory_file_system.h"

namespace tw {
namespace {

using Step = std::pair<const char*, std::function<std::string(FileSystem&)>>;

std::string Yes(bool answer) { return answer ? "yes" : "no"; }
std::string Text(const std::optional<std::string>& text) { return text ? "'" + *text + "'" : "none"; }
std::string Number(const std::optional<uint64_t>& number) { return number ? std::to_string(*number) : "none"; }
std::string Bits(const std::optional<uint32_t>& bits) { return bits ? std::to_string(*bits) : "none"; }
std::string Names(const std::vector<std::string>& names) {
  std::string all;
  for (const std::string& name : names) all += name + ";";
  return all;
}
std::string Removed(Removal removal) { return std::to_string(static_cast<int>(removal)); }

const std::vector<Step>& Steps() {
  static const std::vector<Step> steps = {
      {"make a folder", [](FileSystem& f) { return Yes(f.MakeFolder("C:\\a")); }},
      {"make it again", [](FileSystem& f) { return Yes(f.MakeFolder("C:\\A")); }},
      {"make under a missing parent", [](FileSystem& f) { return Yes(f.MakeFolder("C:\\missing\\b")); }},
      {"write a file", [](FileSystem& f) { return Yes(f.WriteAll("C:\\a\\File.TXT", "one")); }},
      {"write into a missing folder", [](FileSystem& f) { return Yes(f.WriteAll("C:\\none\\x.txt", "x")); }},
      {"exists in any case", [](FileSystem& f) { return Yes(f.Exists("c:\\A\\file.txt")); }},
      {"a file is no folder", [](FileSystem& f) { return Yes(f.Exists("C:\\a\\file.txt\\")); }},
      {"a folder with a backslash", [](FileSystem& f) { return Yes(f.Exists("C:\\a\\")); }},
      {"is folder", [](FileSystem& f) { return Yes(f.IsFolder("C:\\a")) + Yes(f.IsFolder("C:\\a\\file.txt")); }},
      {"dots fold", [](FileSystem& f) { return Text(f.ReadAll("C:\\a\\.\\x\\..\\FILE.txt")); }},
      {"text as the code page or its mark says", [](FileSystem& f) {
         return Yes(f.WriteAll("C:\\a\\t.txt", "caf\xe9")) + Text(f.ReadText("C:\\a\\t.txt")) +
                Yes(f.WriteAll("C:\\a\\t.txt", "\xef\xbb\xbf\xe6\x97\xa5")) + Text(f.ReadText("C:\\a\\t.txt"));
       }},
      {"append", [](FileSystem& f) { return Yes(f.Append("C:\\a\\file.txt", "+two")) + Text(f.ReadAll("C:\\a\\file.txt")); }},
      {"append makes a file", [](FileSystem& f) { return Yes(f.Append("C:\\a\\new.log", "l")) + Number(f.FileSize("C:\\a\\new.log")); }},
      {"sizes", [](FileSystem& f) { return Number(f.FileSize("C:\\a\\file.txt")) + Number(f.FileSize("C:\\a")); }},
      {"attributes", [](FileSystem& f) {
         return Bits(f.Attributes("C:\\a\\file.txt")) + Bits(f.Attributes("C:\\a")) + Bits(f.Attributes("C:\\no"));
       }},
      {"copy over without replace", [](FileSystem& f) { return Yes(f.Copy("C:\\a\\new.log", "C:\\a\\file.txt", false)); }},
      {"copy to a new name", [](FileSystem& f) { return Yes(f.Copy("C:\\a\\file.txt", "C:\\a\\Copy.txt", false)); }},
      {"copy a folder", [](FileSystem& f) { return Yes(f.Copy("C:\\a", "C:\\b", false)); }},
      {"read-only", [](FileSystem& f) { return Yes(f.SetAttributes("C:\\a\\copy.txt", kAttrReadOnly)); }},
      {"read-only attribute", [](FileSystem& f) { return Bits(f.Attributes("C:\\a\\copy.txt")); }},
      {"read-only refuses a write", [](FileSystem& f) { return Yes(f.WriteAll("C:\\a\\copy.txt", "x")); }},
      {"read-only refuses a copy over", [](FileSystem& f) { return Yes(f.Copy("C:\\a\\file.txt", "C:\\a\\copy.txt", true)); }},
      {"read-only refuses a replace", [](FileSystem& f) { return Yes(f.Replace("C:\\a\\new.log", "C:\\a\\copy.txt")); }},
      {"read-only refuses removal", [](FileSystem& f) { return Removed(f.Remove("C:\\a\\copy.txt")); }},
      {"writable again", [](FileSystem& f) { return Yes(f.SetAttributes("C:\\a\\copy.txt", kAttrNormal)); }},
      {"replace over a file", [](FileSystem& f) {
         return Yes(f.Replace("C:\\a\\new.log", "C:\\a\\copy.txt")) + Text(f.ReadAll("C:\\a\\copy.txt")) +
                Yes(f.Exists("C:\\a\\new.log"));
       }},
      {"move onto a file", [](FileSystem& f) { return Yes(f.Move("C:\\a\\copy.txt", "C:\\a\\file.txt")); }},
      {"move to a new name", [](FileSystem& f) {
         return Yes(f.Move("C:\\a\\copy.txt", "C:\\a\\Moved.txt")) + Yes(f.Exists("C:\\a\\copy.txt"));
       }},
      {"find with wildcards", [](FileSystem& f) { return Names(f.Find("C:\\a\\*.txt")) + Names(f.Find("C:\\a\\f?le.*")); }},
      {"find everything", [](FileSystem& f) { return Names(f.Find("C:\\*.*")) + Names(f.Find("C:\\none\\*")); }},
      {"move a folder with its files", [](FileSystem& f) {
         return Yes(f.MakeFolder("C:\\c")) + Yes(f.Move("C:\\a", "C:\\c\\Inner")) + Text(f.ReadAll("C:\\c\\inner\\moved.txt"));
       }},
      {"a full folder stays", [](FileSystem& f) { return Yes(f.RemoveFolder("C:\\c\\inner")); }},
      {"removal of what is missing or a folder", [](FileSystem& f) {
         return Removed(f.Remove("C:\\c\\inner\\gone.txt")) + Removed(f.Remove("C:\\c\\inner"));
       }},
      {"remove a file", [](FileSystem& f) {
         return Removed(f.Remove("C:\\c\\inner\\moved.txt")) + Yes(f.Exists("C:\\c\\inner\\moved.txt"));
       }},
      {"streams", [](FileSystem& f) {
         std::string answer = Yes(f.OpenRead("C:\\c") != nullptr) + Yes(f.OpenRead("C:\\c\\no") != nullptr);
         if (auto out = f.OpenWrite("C:\\c\\s.bin")) *out << "streamed";
         if (auto in = f.OpenRead("C:\\c\\s.bin")) answer += std::string(std::istreambuf_iterator<char>(*in), {});
         return answer;
       }},
      {"an appender", [](FileSystem& f) {
         auto log = f.OpenAppend("C:\\c\\run.log");
         const std::string wrote = log ? Yes(log->Write("a")) + Yes(log->Write("b")) : "none";
         return wrote + Text(f.ReadAll("C:\\c\\run.log"));
       }},
      {"a stamped file", [](FileSystem& f) {
         auto file = f.CreateStamped("C:\\c\\st.bin", FileStamp{0x5021, 0x6000, kAttrReadOnly});
         if (!file) return std::string("none");
         const std::string wrote = Yes(file->Write("xy", 2));
         const std::string closed = Yes(file->Close());
         return wrote + closed + Yes(file->Write("z", 1)) + Text(f.ReadAll("C:\\c\\st.bin")) +
                Bits(f.Attributes("C:\\c\\st.bin"));
       }},
      {"a stamped file over a read-only one", [](FileSystem& f) {
         auto file = f.CreateStamped("C:\\c\\st.bin", FileStamp{});
         return Yes(file && file->Write("z", 1) && file->Close()) + Text(f.ReadAll("C:\\c\\st.bin"));
       }},
      {"a stamped file into its place", [](FileSystem& f) {
         auto taken = f.CreateStamped("C:\\c\\t1.tmp", FileStamp{});
         auto free = f.CreateStamped("C:\\c\\t2.tmp", FileStamp{});
         if (!taken || !free) return std::string("none");
         taken->Write("1", 1), free->Write("2", 1);
         std::string moves = Yes(taken->MoveTo("C:\\c\\st.bin", false)) + Yes(free->MoveTo("C:\\c\\Placed.bin", false));
         taken->Close(), free->Close();
         return moves + Text(f.ReadAll("C:\\c\\t1.tmp")) + Text(f.ReadAll("C:\\c\\placed.bin")) + Yes(f.Exists("C:\\c\\t2.tmp"));
       }},
      {"a stamped file over one there, which keeps a second name", [](FileSystem& f) {
         auto over = f.CreateStamped("C:\\c\\t1.tmp", FileStamp{});
         if (!over) return std::string("none");
         over->Write("3", 1);
         std::string linked = Yes(f.HardLink("C:\\c\\st.bin", "C:\\c\\st.keep")) +
                              Yes(f.HardLink("C:\\c\\st.bin", "C:\\c\\placed.bin")) + Yes(f.HardLink("C:\\c\\inner", "C:\\c\\i2"));
         std::string moved = Yes(over->MoveTo("C:\\c\\st.bin", true));
         over->Close();
         return linked + moved + Text(f.ReadAll("C:\\c\\st.bin")) + Text(f.ReadAll("C:\\c\\st.keep")) + Yes(f.Exists("C:\\c\\t1.tmp"));
       }},
      {"the current folder", [](FileSystem& f) {
         return Yes(f.SetCurrentFolder("C:\\c\\inner")) + f.CurrentFolder() + Yes(f.SetCurrentFolder("C:\\no"));
       }},
      {"relative paths", [](FileSystem& f) {
         return Yes(f.WriteAll("rel.txt", "r")) + Text(f.ReadAll("C:\\c\\inner\\rel.txt")) +
                Yes(f.WriteAll("\\top.txt", "t")) + Text(f.ReadAll("C:\\top.txt"));
       }},
      {"no version resource", [](FileSystem& f) { return Text(f.FileVersion("C:\\top.txt")); }},
      {"remove a tree", [](FileSystem& f) {
         TreeRemoval removal = f.RemoveTree("C:\\c", LeftInUse::kStays);
         return Yes(removal.removed) + std::to_string(removal.inUse + removal.refused + removal.atRestart) +
                Yes(f.Exists("C:\\c\\inner\\rel.txt")) + Yes(f.Exists("C:\\c"));
       }},
      {"remove a tree that is a file", [](FileSystem& f) { return Yes(f.RemoveTree("C:\\top.txt", LeftInUse::kStays).removed); }},
      {"remove a file as a folder", [](FileSystem& f) { return Yes(f.RemoveFolder("C:\\top.txt")); }},
      {"read in a missing folder", [](FileSystem& f) { return Text(f.ReadAll("C:\\none\\x.txt")); }},
      {"read a folder", [](FileSystem& f) { return Text(f.ReadAll("C:\\")); }},
      {"attributes of a missing file", [](FileSystem& f) { return Yes(f.SetAttributes("C:\\no.txt", kAttrNormal)); }},
      {"link a missing file", [](FileSystem& f) { return Yes(f.HardLink("C:\\no.txt", "C:\\l.txt")); }},
  };
  return steps;
}

// Each step's answer comes with the system error it left, so a refusal gives the same reason too.
std::string Answer(const std::function<std::string(FileSystem&)>& run, FileSystem& files) {
  ClearSystemError();
  const std::string answer = run(files);
  return answer + " error=" + std::to_string(LastSystemError().code);
}

TEST(MemoryFileSystem, AnswersEveryStepAsTheFakeOnDiskDoes) {
  FakeFileSystem onDisk;
  MemoryFileSystem inMemory;
  for (const auto& [what, run] : Steps()) {
    const std::string expected = Answer(run, onDisk);
    EXPECT_EQ(Answer(run, inMemory), expected) << what;
  }
}

TEST(MemoryFileSystem, MakeFoldersKeepsTheNamesAsWritten) {
  MemoryFileSystem files;
  files.MakeFolders("D:\\Program Files\\Acme\\");
  EXPECT_TRUE(files.IsFolder("d:\\program files\\acme"));
  EXPECT_EQ(files.Find("D:\\*"), std::vector<std::string>{"Program Files"});
  ASSERT_TRUE(files.WriteAll("D:\\Program Files\\Acme\\a.dll", "x"));
  files.SetFileVersion("d:\\program files\\acme\\A.DLL", "1.2.3.4");
  EXPECT_EQ(files.FileVersion("D:\\Program Files\\Acme\\a.dll").value_or(""), "1.2.3.4");
  EXPECT_FALSE(files.FileVersion("D:\\Program Files\\Acme").has_value()) << "a folder has none";
}

}  // namespace
}  // namespace tw
