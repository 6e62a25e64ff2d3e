// Registry keys and values of a project: roots, trailing backslashes, encodings, missing keys and
// what the uninstall log records (one backslash before a value's name, whatever the key ends in).
#include "install/registry_entries.h"

#include <functional>

#include "install/file_data.h"

#include "install_phase_fixture.h"

namespace tw {
namespace {

class RegistryEntriesTest : public InstallPhaseTest {
 protected:
  RegistryEntriesTest() { files.MakeFolders(session.LogDir); }
};

TEST_F(RegistryEntriesTest, KeysAreCreatedWithoutTheirTrailingBackslashAndNeedARoot) {
  UseSettings(
      "[REGISTRYKEYS]\r\nTOTAL=3\r\n"
      "0=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\\r\n"
      "1=SOFTWARE\\NoRoot\r\n"
      "2=HKEY_CURRENT_USER\\Software\\<ProductName>\\Settings\r\n");
  CreateRegistryKeys(session);
  EXPECT_EQ(Log(),
            "REGKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\r\n"
            "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\n"  // made on the way, logged before its child
            "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\\Settings\r\n");
  EXPECT_TRUE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Acme"));
  EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, "Software\\Acme\\Settings"));
  for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::Users})
    EXPECT_FALSE(registry.KeyExists(root, "SOFTWARE\\NoRoot"));
}

TEST_F(RegistryEntriesTest, ValuesAreEncodedByTypeAndLoggedOnlyWhenWritten) {
  registry.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Acme");
  UseSettings(
      "[REGISTRY]\r\nTOTAL=6\r\n"
      "A0=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\\r\nB0=Path\r\nC0=<InstallDir>\r\nD0=String\r\n"
      "A1=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\r\nB1=Count\r\nC1=42abc\r\nD1=1\r\n"
      "A2=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\\r\nB2=Blob\r\nC2=AB\r\nD2=Binary\r\n"
      "A3=HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing\\\r\nB3=Lost\r\nC3=x\r\nD3=0\r\n"
      "A4=HKEY_NOWHERE\\SOFTWARE\\Acme\\\r\nB4=Odd\r\nC4=y\r\nD4=0\r\n"
      "A5=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\\r\nB5=Typeless\r\nC5=z\r\nD5=REG_SZ\r\n");
  WriteRegistryValues(session);

  EXPECT_EQ(registry.ReadString(RegRoot::LocalMachine, "SOFTWARE\\Acme", "Path").value_or(""),
            "C:\\Program Files\\Acme\\");
  EXPECT_EQ(registry.ReadDword(RegRoot::LocalMachine, "SOFTWARE\\Acme", "Count").value_or(0), 42u);
  EXPECT_EQ(registry.binaries["SOFTWARE\\Acme\\|Blob"], std::string("AB\0", 3));
  EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Missing")) << "values never create keys";
  EXPECT_EQ(registry.ValueType(RegRoot::LocalMachine, "SOFTWARE\\Acme", "Odd"), 0);
  EXPECT_EQ(registry.ValueType(RegRoot::LocalMachine, "SOFTWARE\\Acme", "Typeless"), 0);
  EXPECT_EQ(Log(),
            "REGVAL=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Path\r\n"
            "REGVAL=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Count\r\n"
            "REGVAL=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Blob\r\n")
      << "a value that was never written is nobody's to remove";
}

// A refusal that made no system call gives no system reason, even right after a failure that did
// (the earlier value's read fails on every new value).
TEST_F(RegistryEntriesTest, ARefusalWithoutASystemCallShowsNoEarlierReason) {
  registry.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Acme");
  ASSERT_TRUE(trace.WriteTo(files, "C:\\t.log"));
  const struct {
    const char* what;
    std::function<void()> run;
    const char* line;
  } cases[] = {
      {"a value of no known type", [&] {
         UseSettings("[REGISTRY]\r\nTOTAL=1\r\nA0=HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\r\nB0=New\r\nC0=x\r\nD0=Odd\r\n");
         WriteRegistryValues(session);
       }, "install regval key=\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\" name=New type=Odd result=failed\n"},
      {"a value under no known root", [&] {
         UseSettings("[REGISTRY]\r\nTOTAL=1\r\nA0=HKEY_NOWHERE\\Acme\r\nB0=New\r\nC0=x\r\nD0=0\r\n");
         WriteRegistryValues(session);
       }, "install regval key=\"HKEY_NOWHERE\\Acme\" name=New type=0 result=failed\n"},
      {"a folder path too long", [&] { CreateLoggedFolder(session, "C:\\" + std::string(kMaxFolderPath, 'f')); },
       "result=failed\n"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(files.WriteAll("C:\\t.log", ""));
    NoteSystemError(kErrorAccessDenied);  // an earlier, unrelated failure
    c.run();
    const std::string written = files.ReadAll("C:\\t.log").value_or("");
    EXPECT_NE(written.find(c.line), std::string::npos) << c.what << written;
    EXPECT_EQ(written.find(" error="), std::string::npos) << c.what << written;
  }
}

// A count far past the entries (a damaged or hostile project) ends at the last entry at once.
TEST_F(RegistryEntriesTest, AHugeCountEndsAtTheLastEntry) {
  UseSettings(
      "[REGISTRYKEYS]\r\nTOTAL=2147483647\r\n0=HKEY_CURRENT_USER\\Software\\Acme\r\n"
      "[REGISTRY]\r\nTOTAL=9999999999\r\nA0=HKEY_CURRENT_USER\\Software\\Acme\\\r\nB0=Path\r\nC0=x\r\nD0=String\r\n");
  CreateRegistryKeys(session);
  WriteRegistryValues(session);
  EXPECT_EQ(Log(), "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\nREGVAL=HKEY_CURRENT_USER\\Software\\Acme\\Path\r\n");
}

TEST_F(RegistryEntriesTest, KeyHelpersDropRootNamesAndCutLongPaths) {
  EXPECT_TRUE(CreateKey(registry, "HKEY_CLASSES_ROOT", "HKEY_CLASSES_ROOT\\.acme\\shell"));
  EXPECT_TRUE(registry.KeyExists(RegRoot::ClassesRoot, ".acme\\shell"));
  EXPECT_FALSE(CreateKey(registry, "HKCR", ".acme"));

  const std::string longName(400, 'k');
  EXPECT_TRUE(CreateKey(registry, "HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\" + longName));
  EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, longName.substr(0, kRegistryKeyText - 18)));

  registry.Deny(RegRoot::CurrentUser, "Software\\Locked", RegAccess::Write);
  EXPECT_FALSE(CreateKey(registry, "HKEY_CURRENT_USER", "Software\\Locked"));
  EXPECT_FALSE(WriteValue(registry, "HKEY_CURRENT_USER", "Software\\Locked", "v", "1", "DWORD"));
}

}  // namespace
}  // namespace tw
