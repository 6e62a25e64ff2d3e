#include "contract_env.h"

namespace tw {

void ContractTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ = ContractScratchRoot() + info->test_suite_name() + "_" + info->name() + "\\";
  files().RemoveTree(dir_, LeftInUse::kStays);
  ASSERT_TRUE(files().MakeFolder(dir_)) << dir_;
}

void ContractTest::TearDown() { files().RemoveTree(dir_, LeftInUse::kStays); }

}  // namespace tw
