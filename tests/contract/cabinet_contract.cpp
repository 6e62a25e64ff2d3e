// What every cabinet service must do, checked on libmspack (host) and on FDI (Wine): the
// notifications a handler sees, the bytes it gets, skipping, aborting, and a set that spans disks.
#include <functional>
#include <map>
#include <vector>

#include "contract_env.h"
#include "test_cabinets.h"

namespace tw {
namespace {

namespace tc = test_cabinets;

// Writes every member into one folder under the last part of its stored name and notes what the
// decompressor told it.
class RecordingHandler : public CabinetHandler {
 public:
  explicit RecordingHandler(std::string folder) : folder_(std::move(folder)) {}

  CabinetTarget OnCopyFile(const CabinetMember& member) override {
    copied.push_back(member);
    if (abortAt == member.name) return CabinetTarget::Abort();
    if (skip == member.name) return CabinetTarget::Skip();
    return CabinetTarget::Write(folder_ + member.name.substr(member.name.find_last_of('\\') + 1));
  }
  void OnFileClosed(const CabinetMember& member, const std::string& path) override { closed[member.name] = path; }
  bool OnNextCabinet(const std::string& diskName, const std::string& folder, const std::string& cabinetName,
                     bool afterFailure) override {
    asked.push_back(diskName + "|" + folder + "|" + cabinetName + (afterFailure ? "|again" : ""));
    if (beforeAnswer) beforeAnswer();
    return asked.size() <= answersYes;
  }
  void OnEnumerate(int) override {}

  std::vector<CabinetMember> copied;
  std::map<std::string, std::string> closed;
  std::vector<std::string> asked;
  std::string skip, abortAt;
  size_t answersYes = 100;
  std::function<void()> beforeAnswer;

 private:
  std::string folder_;
};

class CabinetContract : public ContractTest {
 protected:
  std::unique_ptr<CabinetContext> Context() {
    auto context = platform().cabinets.CreateContext();
    EXPECT_NE(context, nullptr);
    return context;
  }
  bool CopyAll(const std::string& cabinet, RecordingHandler& handler) {
    auto context = Context();
    if (!context) return false;
    bool copied = context->CopyAll(Dir(), cabinet, handler);
    EXPECT_TRUE(context->Release());
    return copied;
  }
  std::string Read(const std::string& name) { return files().ReadAll(At(name)).value_or("<missing>"); }
};

TEST_F(CabinetContract, TellsACabinetFromOtherFiles) {
  ASSERT_TRUE(files().WriteAll(At("good.cab"), tc::StoredCabinet({{"a.txt", "alpha"}})));
  ASSERT_TRUE(files().WriteAll(At("text.cab"), "This is not a cabinet, only some text long enough."));
  auto context = Context();
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->Check(At("good.cab")), CabinetCheck::kCabinet);
  EXPECT_EQ(context->Check(At("text.cab")), CabinetCheck::kNotCabinet);
  EXPECT_EQ(context->Check(At("missing.cab")), CabinetCheck::kCannotOpen);
  EXPECT_TRUE(context->Release());
}

TEST_F(CabinetContract, EveryMemberReachesTheHandlerAsStored) {
  tc::Member folded{"docs\\b.txt", std::string(40000, 'b'), (21 << 9) | (2 << 5) | 3, (4 << 11) | (5 << 5) | 3, 0x21};
  ASSERT_TRUE(files().MakeFolder(At("out")));
  ASSERT_TRUE(files().WriteAll(At("set.cab"), tc::StoredCabinet({{"a.txt", "alpha"}, folded, {"empty", ""}})));
  RecordingHandler handler(At("out\\"));
  ASSERT_TRUE(CopyAll("set.cab", handler));

  ASSERT_EQ(handler.copied.size(), 3u);
  const CabinetMember& b = handler.copied[1];
  EXPECT_EQ(b.name, "docs\\b.txt") << "the stored name comes through whole; trimming it is the handler's job";
  EXPECT_EQ(b.size, 40000u);
  EXPECT_EQ(b.date, folded.date);
  EXPECT_EQ(b.time, folded.time);
  EXPECT_EQ(b.attributes & 0x3F, 0x21);
  EXPECT_EQ(Read("out\\a.txt"), "alpha");
  EXPECT_EQ(Read("out\\b.txt"), folded.data) << "a member across two data blocks";
  EXPECT_EQ(Read("out\\empty"), "");
  EXPECT_EQ(handler.closed["docs\\b.txt"], At("out\\b.txt")) << "closed after writing, with its path";
  EXPECT_TRUE(handler.asked.empty());
}

TEST_F(CabinetContract, ACabinetWithoutMembersIsAnEmptySet) {
  ASSERT_TRUE(files().WriteAll(At("empty.cab"), tc::StoredCabinet({})));
  auto context = Context();
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->Check(At("empty.cab")), CabinetCheck::kCabinet);
  RecordingHandler handler(Dir());
  EXPECT_TRUE(context->CopyAll(Dir(), "empty.cab", handler));
  EXPECT_TRUE(handler.copied.empty());
  EXPECT_TRUE(context->Release());
}

TEST_F(CabinetContract, MsZipCabinetsFromThePackerDecompress) {
  ASSERT_TRUE(files().WriteAll(At("file1.cab"), tc::MsZipCabinet()));
  RecordingHandler handler(Dir());
  ASSERT_TRUE(CopyAll("file1.cab", handler));
  EXPECT_EQ(Read("F0_readme.txt"), tc::MsZipReadme());
  EXPECT_EQ(Read("logo.bmp"), tc::MsZipLogo());
}

TEST_F(CabinetContract, SkippedMembersAreNotWrittenAndAnAbortStopsTheCopy) {
  ASSERT_TRUE(files().WriteAll(At("set.cab"), tc::StoredCabinet({{"a", "1"}, {"b", "2"}, {"c", "3"}})));
  RecordingHandler handler(Dir());
  handler.skip = "a";
  handler.abortAt = "b";
  EXPECT_FALSE(CopyAll("set.cab", handler));
  EXPECT_FALSE(files().Exists(At("a")));
  EXPECT_FALSE(files().Exists(At("c")));
  EXPECT_EQ(handler.copied.size(), 2u);
}

TEST_F(CabinetContract, ATargetThatCannotBeCreatedFailsTheCopy) {
  ASSERT_TRUE(files().WriteAll(At("set.cab"), tc::StoredCabinet({{"a", "1"}})));
  RecordingHandler handler(At("no such folder\\"));
  EXPECT_FALSE(CopyAll("set.cab", handler));
}

TEST_F(CabinetContract, ABrokenCabinetFailsTheCopy) {
  std::string cabinet = tc::StoredCabinet({{"a", std::string(5000, 'a')}});
  ASSERT_TRUE(files().WriteAll(At("cut.cab"), cabinet.substr(0, cabinet.size() - 3000)));
  RecordingHandler handler(Dir());
  EXPECT_FALSE(CopyAll("cut.cab", handler));
  EXPECT_FALSE(CopyAll("missing.cab", handler));
}

TEST_F(CabinetContract, ASetFollowsItsNextCabinet) {
  tc::Member one{"one.txt", "first member"};
  tc::Member two{"two.txt", std::string(3000, 'x') + std::string(3000, 'y')};
  tc::SpanningSet set = tc::SpanningCabinets(one, two);
  ASSERT_TRUE(files().WriteAll(At("file1.cab"), set.first));
  ASSERT_TRUE(files().WriteAll(At("file2.cab"), set.second));
  ASSERT_TRUE(files().MakeFolder(At("out")));
  RecordingHandler handler(At("out\\"));
  ASSERT_TRUE(CopyAll("file1.cab", handler));
  EXPECT_EQ(handler.asked, std::vector<std::string>{"DISK2|" + Dir() + "|file2.cab"});
  EXPECT_EQ(Read("out\\one.txt"), one.data);
  EXPECT_EQ(Read("out\\two.txt"), two.data);
}

TEST_F(CabinetContract, AMissingNextCabinetIsAskedForAgainUntilTheHandlerGivesUp) {
  tc::SpanningSet set = tc::SpanningCabinets({"one", "1"}, {"two", std::string(100, '2')});
  ASSERT_TRUE(files().WriteAll(At("file1.cab"), set.first));
  ASSERT_TRUE(files().MakeFolder(At("out")));
  RecordingHandler refusing(At("out\\"));
  refusing.answersYes = 2;
  EXPECT_FALSE(CopyAll("file1.cab", refusing));
  ASSERT_EQ(refusing.asked.size(), 3u);
  EXPECT_EQ(refusing.asked[1], "DISK2|" + Dir() + "|file2.cab|again");

  // The disk arrives while the handler is asking.
  RecordingHandler patient(At("out\\"));
  patient.beforeAnswer = [&] { files().WriteAll(At("file2.cab"), set.second); };
  files().Remove(At("out\\one"));
  ASSERT_TRUE(CopyAll("file1.cab", patient));
  EXPECT_EQ(Read("out\\two"), std::string(100, '2'));
}

}  // namespace
}  // namespace tw
