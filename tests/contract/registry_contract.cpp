// What every Registry must answer, checked on the fake and on the real Win32 implementation.
#include "contract_env.h"

namespace tw {
namespace {

const char kKey[] = "Software\\TarnwickContract";

class RegistryContract : public ContractTest {
 protected:
  Registry& reg() { return platform().registry; }
  void SetUp() override {
    ContractTest::SetUp();
    reg().DeleteTree(RegRoot::CurrentUser, kKey);
  }
  void TearDown() override {
    reg().DeleteTree(RegRoot::CurrentUser, kKey);
    ContractTest::TearDown();
  }
};

// A link inside a deleted tree goes as a key of its own; the key it points to keeps everything.
TEST_F(RegistryContract, DeletingATreeNeverFollowsALink) {
  const std::string base = "Software\\TarnwickContractLink", target = base + "\\Target";
  reg().DeleteTree(RegRoot::LocalMachine, base);
  ASSERT_TRUE(reg().CreateKey(RegRoot::LocalMachine, target + "\\Sub"));
  ASSERT_TRUE(reg().WriteString(RegRoot::LocalMachine, target, "Keep", "1", false));
  ASSERT_TRUE(reg().CreateKey(RegRoot::LocalMachine, base + "\\Tree"));
  if (!ContractMakeRegistryLink(base + "\\Tree\\Link", target)) GTEST_SKIP() << "no registry links on this side";
  ASSERT_EQ(reg().ReadString(RegRoot::LocalMachine, base + "\\Tree\\Link", "Keep").value_or(""), "1") << "a link";
  EXPECT_TRUE(reg().DeleteTree(RegRoot::LocalMachine, base + "\\Tree"));
  EXPECT_FALSE(reg().CanOpen(RegRoot::LocalMachine, base + "\\Tree", RegAccess::Read));
  EXPECT_EQ(reg().ReadString(RegRoot::LocalMachine, target, "Keep").value_or(""), "1");
  EXPECT_TRUE(reg().CanOpen(RegRoot::LocalMachine, target + "\\Sub", RegAccess::Read));
  reg().DeleteTree(RegRoot::LocalMachine, base);
}

TEST_F(RegistryContract, KeysAreCreatedWithTheirParents) {
  const std::string deep = std::string(kKey) + "\\A\\B";
  EXPECT_FALSE(reg().CanOpen(RegRoot::CurrentUser, deep, RegAccess::Read));
  ASSERT_TRUE(reg().CreateKey(RegRoot::CurrentUser, deep));
  EXPECT_TRUE(reg().CanOpen(RegRoot::CurrentUser, deep, RegAccess::Read));
  EXPECT_TRUE(reg().CanOpen(RegRoot::CurrentUser, std::string(kKey) + "\\a", RegAccess::All))
      << "key names match without regard to case";
  EXPECT_TRUE(reg().CreateKey(RegRoot::CurrentUser, deep)) << "creating an existing key succeeds";
}

// What an installation records of a value it overwrites, and writes back at removal: any type,
// exactly as stored.
TEST_F(RegistryContract, AValueReadRawIsWrittenBackExactly) {
  ASSERT_TRUE(reg().CreateKey(RegRoot::CurrentUser, kKey));
  ASSERT_TRUE(reg().WriteString(RegRoot::CurrentUser, kKey, "Text", "abc", true));
  EXPECT_EQ(reg().ReadRawValue(RegRoot::CurrentUser, kKey, "text"), (RegValue{2, std::string("abc\0", 4)}));
  const RegValue values[] = {{7, std::string("one\0two\0\0", 9)}, {3, ""}, {4, std::string("\x2a\0\0\0", 4)},
                             {1, std::string("x\0", 2)}};
  for (const RegValue& value : values) {
    ASSERT_TRUE(reg().WriteRawValue(RegRoot::CurrentUser, kKey, "Raw", value));
    EXPECT_EQ(reg().ReadRawValue(RegRoot::CurrentUser, kKey, "Raw"), value) << value.type;
  }
  EXPECT_FALSE(reg().ReadRawValue(RegRoot::CurrentUser, kKey, "Missing").has_value());
  EXPECT_FALSE(reg().WriteRawValue(RegRoot::CurrentUser, std::string(kKey) + "\\None", "Raw", values[0]));
}

// Key and value names and text data outside the ANSI code page come back exactly; a fullwidth
// backslash in a name is a character, not a separator.
TEST_F(RegistryContract, NamesAndTextInAnyScriptReadBackExactly) {
  const std::string key = std::string(kKey) + "\\日本語＼キー";
  ASSERT_TRUE(reg().CreateKey(RegRoot::CurrentUser, key));
  EXPECT_FALSE(reg().CanOpen(RegRoot::CurrentUser, std::string(kKey) + "\\日本語", RegAccess::Read));
  ASSERT_TRUE(reg().WriteString(RegRoot::CurrentUser, key, "値＼名", "C:\\日本語＼é", false));
  EXPECT_EQ(reg().ReadString(RegRoot::CurrentUser, key, "値＼名").value_or(""), "C:\\日本語＼é");
  EXPECT_EQ(reg().ReadRawValue(RegRoot::CurrentUser, key, "値＼名"), (RegValue{1, std::string("C:\\日本語＼é\0", 18)}));
  const RegValue list{7, std::string("一\0二\0\0", 9)};
  ASSERT_TRUE(reg().WriteRawValue(RegRoot::CurrentUser, key, "リスト", list));
  EXPECT_EQ(reg().ReadRawValue(RegRoot::CurrentUser, key, "リスト"), list);
  EXPECT_TRUE(reg().DeleteValue(RegRoot::CurrentUser, key, "値＼名"));
  EXPECT_TRUE(reg().DeleteTree(RegRoot::CurrentUser, key));
}

TEST_F(RegistryContract, ValuesReadBackByType) {
  ASSERT_TRUE(reg().CreateKey(RegRoot::CurrentUser, kKey));
  EXPECT_TRUE(reg().WriteString(RegRoot::CurrentUser, kKey, "Text", "hello world", false));
  EXPECT_TRUE(reg().WriteString(RegRoot::CurrentUser, kKey, "Expand", "%TEMP%\\x", true));
  EXPECT_TRUE(reg().WriteString(RegRoot::CurrentUser, kKey, "", "default", false));
  EXPECT_TRUE(reg().WriteString(RegRoot::CurrentUser, kKey, "Empty", "", false));
  EXPECT_TRUE(reg().WriteDword(RegRoot::CurrentUser, kKey, "Number", 0xDEADBEEF));
  EXPECT_TRUE(reg().WriteBinary(RegRoot::CurrentUser, kKey, "Bytes", std::string("\x01\x00\x02", 3)));

  EXPECT_EQ(reg().ReadString(RegRoot::CurrentUser, kKey, "text").value_or("?"), "hello world");
  EXPECT_EQ(reg().ReadString(RegRoot::CurrentUser, kKey, "Expand").value_or("?"), "%TEMP%\\x")
      << "expandable strings are returned unexpanded";
  EXPECT_EQ(reg().ReadString(RegRoot::CurrentUser, kKey, "").value_or("?"), "default");
  EXPECT_EQ(reg().ReadString(RegRoot::CurrentUser, kKey, "Empty").value_or("?"), "");
  EXPECT_EQ(reg().ReadDword(RegRoot::CurrentUser, kKey, "Number").value_or(0), 0xDEADBEEFu);
  EXPECT_FALSE(reg().ReadString(RegRoot::CurrentUser, kKey, "Number").has_value());
  EXPECT_FALSE(reg().ReadDword(RegRoot::CurrentUser, kKey, "Text").has_value());
  EXPECT_FALSE(reg().ReadString(RegRoot::CurrentUser, kKey, "Bytes").has_value());
  EXPECT_FALSE(reg().ReadString(RegRoot::CurrentUser, kKey, "Missing").has_value());
  EXPECT_TRUE(reg().IsExpandableString(RegRoot::CurrentUser, kKey, "expand"));
  EXPECT_FALSE(reg().IsExpandableString(RegRoot::CurrentUser, kKey, "Text"));
  EXPECT_FALSE(reg().IsExpandableString(RegRoot::CurrentUser, kKey, "Missing"));
  EXPECT_FALSE(reg().ReadString(RegRoot::CurrentUser, std::string(kKey) + "\\None", "Text").has_value());
}

TEST_F(RegistryContract, WritesNeedAnExistingKey) {
  EXPECT_FALSE(reg().WriteString(RegRoot::CurrentUser, std::string(kKey) + "\\Nope", "v", "x", false));
  EXPECT_FALSE(reg().WriteDword(RegRoot::CurrentUser, std::string(kKey) + "\\Nope", "v", 1));
}

TEST_F(RegistryContract, DeletingValuesAndTrees) {
  ASSERT_TRUE(reg().CreateKey(RegRoot::CurrentUser, std::string(kKey) + "\\Sub\\Leaf"));
  ASSERT_TRUE(reg().WriteString(RegRoot::CurrentUser, kKey, "v", "x", false));
  EXPECT_TRUE(reg().DeleteValue(RegRoot::CurrentUser, kKey, "V"));
  EXPECT_FALSE(reg().DeleteValue(RegRoot::CurrentUser, kKey, "v"));
  EXPECT_TRUE(reg().DeleteTree(RegRoot::CurrentUser, kKey));
  EXPECT_FALSE(reg().CanOpen(RegRoot::CurrentUser, std::string(kKey) + "\\Sub", RegAccess::Read));
  EXPECT_FALSE(reg().DeleteTree(RegRoot::CurrentUser, kKey));
}

TEST(RegistryRootNames, RoundTrip) {
  for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::Users,
                       RegRoot::CurrentConfig})
    EXPECT_EQ(RegRootFromName(RegRootName(root)), root);
  EXPECT_FALSE(RegRootFromName("HKLM").has_value());
  EXPECT_FALSE(RegRootFromName("hkey_local_machine").has_value());
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

TEST_F(RegistryContract, AKeyIsEmptyWithoutSubkeysAndValues) {
  const std::string key = std::string(kKey) + "\\Empty";
  EXPECT_FALSE(reg().IsEmptyKey(RegRoot::CurrentUser, key)) << "a missing key is not empty";
  ASSERT_TRUE(reg().CreateKey(RegRoot::CurrentUser, key + "\\Child"));
  EXPECT_FALSE(reg().IsEmptyKey(RegRoot::CurrentUser, key)) << "a subkey";
  EXPECT_TRUE(reg().IsEmptyKey(RegRoot::CurrentUser, key + "\\Child"));
  EXPECT_TRUE(reg().WriteString(RegRoot::CurrentUser, key + "\\Child", "", "default", false));
  EXPECT_FALSE(reg().IsEmptyKey(RegRoot::CurrentUser, key + "\\Child")) << "a default value counts";
  EXPECT_TRUE(reg().CreateKey(RegRoot::CurrentUser, key + " Sibling"));
  EXPECT_TRUE(reg().IsEmptyKey(RegRoot::CurrentUser, key + " Sibling")) << "a key named alike is not below it";
}

}  // namespace
}  // namespace tw
