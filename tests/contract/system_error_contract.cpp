// Every failing platform call leaves the system's own code for it, the same on the fake and on the
// real side, and the system has words for each code the engine shows.
#include <functional>

#include "contract_env.h"

namespace tw {
namespace {

const char kKey[] = "Software\\TarnwickContractErrors";
const char kService[] = "TarnwickContractErrSvc";

class SystemErrorContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    platform().registry.DeleteTree(RegRoot::CurrentUser, kKey);
    ContractRemoveService(kService);
  }
  void TearDown() override {
    platform().registry.DeleteTree(RegRoot::CurrentUser, kKey);
    ContractRemoveService(kService);
    ContractTest::TearDown();
  }
  ServiceSpec Spec() {
    ServiceSpec spec;
    spec.name = kService;
    spec.displayName = kService;
    spec.path = "\"" + At("svc.exe") + "\"";
    return spec;
  }
};

TEST_F(SystemErrorContract, EachFailureLeavesTheSystemsCode) {
  ASSERT_TRUE(files().WriteAll(At("a.txt"), "a"));
  ASSERT_TRUE(files().WriteAll(At("ro.txt"), "r"));
  ASSERT_TRUE(files().SetAttributes(At("ro.txt"), kAttrReadOnly));
  ASSERT_TRUE(files().MakeFolder(At("full")));
  ASSERT_TRUE(files().WriteAll(At("full\\f.txt"), "f"));
  ASSERT_TRUE(platform().services.Create(Spec()) == ServiceResult::Created);
  Registry& registry = platform().registry;
  ShellLink link;
  link.path = At("a.txt");
  ASSERT_TRUE(platform().shell.PrepareThread());
  const struct {
    const char* what;
    std::function<bool()> fails;
    uint32_t code;
  } cases[] = {
      {"copy from a missing file", [&] { return !files().Copy(At("none.txt"), At("b.txt"), true); }, kErrorFileNotFound},
      {"copy into a missing folder", [&] { return !files().Copy(At("a.txt"), At("no\\b.txt"), true); }, kErrorPathNotFound},
      {"copy onto a file, not replacing", [&] { return !files().Copy(At("a.txt"), At("ro.txt"), false); }, kErrorFileExists},
      {"move onto a file", [&] { return !files().Move(At("a.txt"), At("ro.txt")); }, kErrorAlreadyExists},
      {"move a missing file", [&] { return !files().Move(At("none.txt"), At("b.txt")); }, kErrorFileNotFound},
      {"replace a read-only file", [&] { return !files().Replace(At("a.txt"), At("ro.txt")); }, kErrorAccessDenied},
      {"make a folder that exists", [&] { return !files().MakeFolder(At("full")); }, kErrorAlreadyExists},
      {"make a folder in a missing one", [&] { return !files().MakeFolder(At("no\\sub")); }, kErrorPathNotFound},
      {"remove a folder not empty", [&] { return !files().RemoveFolder(At("full")); }, kErrorDirNotEmpty},
      {"remove a missing file", [&] { return files().Remove(At("none.txt")) == Removal::kMissing; }, kErrorFileNotFound},
      {"remove a read-only file", [&] { return files().Remove(At("ro.txt")) == Removal::kRefused; }, kErrorAccessDenied},
      {"read a missing file", [&] { return !files().ReadAll(At("none.txt")); }, kErrorFileNotFound},
      {"write into a missing folder", [&] { return !files().WriteAll(At("no\\b.txt"), "b"); }, kErrorPathNotFound},
      {"attributes of a missing file", [&] { return !files().SetAttributes(At("none.txt"), kAttrNormal); },
       kErrorFileNotFound},
      {"write a value into a missing key", [&] { return !registry.WriteString(RegRoot::CurrentUser, kKey, "v", "x", false); },
       kErrorFileNotFound},
      {"delete a missing key", [&] { return !registry.DeleteTree(RegRoot::CurrentUser, kKey); }, kErrorFileNotFound},
      {"create a service twice", [&] { return platform().services.Create(Spec()) == ServiceResult::Exists; },
       kErrorServiceExists},
      {"update a missing service",
       [&] {
         ServiceSpec other = Spec();
         other.name = "TarnwickNoSuchSvc";
         return !platform().services.Update(other);
       },
       kErrorServiceDoesNotExist},
      {"remove a missing service", [&] { return platform().services.Remove("TarnwickNoSuchSvc") == ServiceRemoval::Missing; },
       kErrorServiceDoesNotExist},
      {"save a link into a missing folder", [&] { return !platform().shell.CreateShellLink(link, At("no\\a.lnk")); },
       kErrorPathNotFound},
      {"start a missing program", [&] { return !platform().shell.Start(At("none.exe"), ""); }, kErrorFileNotFound},
  };
  for (const auto& c : cases) {
    ClearSystemError();
    EXPECT_TRUE(c.fails()) << c.what;
    EXPECT_EQ(LastSystemError().code, c.code) << c.what;
    EXPECT_FALSE(platform().system.ErrorText({c.code}).empty()) << c.what;
  }
  files().SetAttributes(At("ro.txt"), kAttrNormal);
}

TEST_F(SystemErrorContract, ErrorTextIsOneLineWithoutItsPeriod) {
  EXPECT_EQ(platform().system.ErrorText({}), "");
  for (uint32_t code : {kErrorAccessDenied, kErrorSharingViolation, kErrorDiskFull, kErrorInternetNameNotResolved}) {
    const std::string text = platform().system.ErrorText({code});
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
  }
}

}  // namespace
}  // namespace tw
