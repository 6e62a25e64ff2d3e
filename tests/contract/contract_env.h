// The contract suites run the same tests against the fake platform (host) and the real one (Wine);
// each side supplies the platform and a scratch folder through this header.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace tw {

Platform& ContractPlatform();
// A folder (absolute Windows path, trailing backslash) where the suites may create anything.
std::string ContractScratchRoot();
// "host:port" of an HTTP server that serves "/hello.txt" as "hello" and nothing else; empty when
// none is running (the HTTP suite is then skipped).
std::string ContractHttpServer();
// Removes a service the suites made, so each run starts without it; nothing when it is missing.
void ContractRemoveService(const std::string& name);
// Makes the key link (under HKEY_LOCAL_MACHINE) a registry link to the key target there; false
// where the side has no links.
bool ContractMakeRegistryLink(const std::string& link, const std::string& target);
// Makes link a symbolic link to the folder target; false where the side cannot make one.
bool ContractMakeFolderLink(const std::string& link, const std::string& target);

// Gives each test a fresh, empty scratch folder and removes it afterwards.
class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Platform& platform() { return ContractPlatform(); }
  FileSystem& files() { return ContractPlatform().files; }
  // A path inside this test's scratch folder.
  std::string At(const std::string& name) const { return dir_ + name; }
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
};

}  // namespace tw
