// What every service manager must answer, on the fake and on the real one under Wine.
#include <tuple>

#include "contract_env.h"

namespace tw {
namespace {

const char kName[] = "TarnwickContractSvc";

class ServicesContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    ContractRemoveService(kName);
  }
  void TearDown() override {
    ContractRemoveService(kName);
    ContractTest::TearDown();
  }
  ServiceResult Create(const std::string& name) {
    ServiceSpec spec;
    spec.name = name;
    spec.displayName = "Tarnwick Contract Service";
    spec.path = "\"" + At("svc.exe") + "\" /run";
    return platform().services.Create(spec);
  }
};

TEST_F(ServicesContract, ANameIsTakenOnceAndItsServiceCanBeUpdated) {
  ServiceSpec spec;
  spec.name = kName;
  spec.displayName = "Updated";
  spec.path = "\"" + At("svc2.exe") + "\"";
  EXPECT_FALSE(platform().services.Update(spec)) << "no such service yet";
  EXPECT_EQ(Create(kName), ServiceResult::Created);
  EXPECT_EQ(Create(kName), ServiceResult::Exists);
  EXPECT_EQ(Create("tarnwickcontractSVC"), ServiceResult::Exists) << "names match without regard to case";
  EXPECT_EQ(Create(""), ServiceResult::Refused);
  spec.startType = 4;
  spec.errorControl = 0;
  EXPECT_TRUE(platform().services.Update(spec));
  const std::optional<ServiceSpec> kept = platform().services.Configuration("tarnwickcontractsvc");
  ASSERT_TRUE(kept) << "any case";
  EXPECT_EQ(std::tie(kept->displayName, kept->type, kept->startType, kept->errorControl, kept->path),
            std::tie(spec.displayName, spec.type, spec.startType, spec.errorControl, spec.path));
  EXPECT_FALSE(platform().services.Configuration("TarnwickNoSuchSvc").has_value());
}

TEST_F(ServicesContract, ARemovedServiceIsGone) {
  ASSERT_EQ(Create(kName), ServiceResult::Created);
  EXPECT_EQ(platform().services.Remove("tarnwickcontractsvc"), ServiceRemoval::Removed) << "by name, any case";
  EXPECT_EQ(platform().services.Remove(kName), ServiceRemoval::Missing);
  EXPECT_EQ(Create(kName), ServiceResult::Created) << "the name is free again";
}

}  // namespace
}  // namespace tw
