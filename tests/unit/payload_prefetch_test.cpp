// The unpacking ahead against the copy that takes its files: members of random sizes, passed over
// at random, some failing once, some throwing, with the work on a thread of its own and done by
// the copy alone. Every file taken holds its member's bytes, and nothing passed over is left.
#include "install/payload_prefetch.h"

#include <algorithm>
#include <random>

#include "../contract/test_cabinets.h"
#include "install/payload_stream.h"
#include "platform/text.h"
#include "install_phase_fixture.h"
#include "support/staged_file.h"

namespace tw {
namespace {

namespace tc = test_cabinets;

TEST_F(InstallPhaseTest, TheUnpackingAheadServesTheCopyWhateverHappens) {
  constexpr size_t kMembers = 120;
  std::mt19937 random(20261210);
  std::vector<tc::Member> members;
  for (size_t i = 0; i < kMembers; ++i) {
    std::string bytes(random() % 40000, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    members.push_back({PayloadMemberName(i, "m.bin"), bytes});
  }
  session.host.SetupDir = "D:\\";
  files.MakeFolders("D:\\");
  files.MakeFolders("C:\\out");
  ASSERT_TRUE(files.WriteAll("D:\\file1.cab", tc::StoredCabinet(members)));
  enum Fate { kWhole, kFailsOnce, kThrows, kPassedOver };
  std::vector<Fate> fates(kMembers);
  for (Fate& fate : fates) fate = random() % 7 < 4 ? kWhole : static_cast<Fate>(random() % 3 + 1);
  std::vector<CopyStep> plan(kMembers);
  for (size_t i = 0; i < kMembers; ++i) {
    plan[i].destination = "C:\\out\\m" + std::to_string(i) + ".bin";
    plan[i].member = members[i].name;
    plan[i].job = i;
  }
  // Whose temporary file a path is: the prefetch names them after their destination.
  auto ofMember = [&](const std::string& path, size_t i) { return path.rfind(plan[i].destination + ".", 0) == 0; };

  for (PayloadPrefetch::Worker worker : {PayloadPrefetch::Worker::kOwnThread, PayloadPrefetch::Worker::kTheCopy}) {
    SCOPED_TRACE(worker == PayloadPrefetch::Worker::kTheCopy ? "done by the copy" : "on its own thread");
    faults.ClearFailures();
    for (size_t i = 0; i < kMembers; ++i)
      if (fates[i] == kFailsOnce) faults.FailWhen(FsOp::Write, plan[i].destination + ".", 1);
    files.throwOnCreate = [&](const std::string& path) {
      for (size_t i = 0; i < kMembers; ++i)
        if (fates[i] == kThrows && ofMember(path, i)) return true;
      return false;
    };
    std::vector<std::string> kept;
    std::unique_ptr<PayloadStream> stream = PayloadStream::Open(session);
    ASSERT_TRUE(stream);
    {
      PayloadPrefetch prefetch(*stream, faults, plan, worker);
      for (size_t i = 0; i < kMembers; ++i) {
        SCOPED_TRACE(i);
        if (fates[i] == kPassedOver) continue;
        std::unique_ptr<StampedFile> file = prefetch.Take(i);
        EXPECT_EQ(file != nullptr, fates[i] == kWhole);
        const bool written = file ? file->Close() : prefetch.Rewrite(i);  // a retry writes it again
        EXPECT_EQ(written, fates[i] != kThrows);
        EXPECT_EQ(written && files.ReadAll(prefetch.TempPath(i)) == members[i].data, written);
        if (written) kept.push_back(LastComponent(prefetch.TempPath(i), "\\"));
      }
    }
    // What is left is exactly the files taken and written, for the copy to move into place.
    std::vector<std::string> left = files.Find("C:\\out\\*");
    std::sort(left.begin(), left.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(left, kept);
    for (const std::string& name : left) files.Remove("C:\\out\\" + name);
  }
}

}  // namespace
}  // namespace tw
