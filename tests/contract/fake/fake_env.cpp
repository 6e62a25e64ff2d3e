// The contract suites' host side: the fake platform.
#include "contract_env.h"
#include "platform/fake/fake_platform.h"

namespace tw {

static FakePlatform& Fake() {
  static FakePlatform fake;
  return fake;
}

Platform& ContractPlatform() { return Fake().platform; }

std::string ContractScratchRoot() {
  Fake().files.MakeFolders("C:\\contract");
  return "C:\\contract\\";
}

std::string ContractHttpServer() {
  Fake().http.responses["127.0.0.1:18080/hello.txt"] = FakeHttpResponse{200, "hello"};
  Fake().http.responses["127.0.0.1:18080/missing.txt"] = FakeHttpResponse{404, "not found"};
  return "127.0.0.1:18080";
}

void ContractRemoveService(const std::string& name) { Fake().services.created.erase(Lower(name)); }

bool ContractMakeRegistryLink(const std::string&, const std::string&) { return false; }

bool ContractMakeFolderLink(const std::string& link, const std::string& target) {
  std::error_code error;
  std::filesystem::create_directory_symlink(Fake().files.HostPath(target), Fake().files.HostPath(link), error);
  return !error;
}

}  // namespace tw
