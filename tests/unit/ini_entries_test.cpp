// INI entries: the table of files (one entry and one log line per file, a bounded table) and how
// an entry path names its file, section and key.
#include "install/ini_entries.h"

#include "install_phase_fixture.h"

namespace tw {
namespace {

class IniEntriesTest : public InstallPhaseTest {
 protected:
  IniEntriesTest() {
    files.MakeFolders(session.LogDir);
    files.MakeFolders(session.InstallDir());
  }
  std::string Read(const std::string& file, const char* section, const char* key) {
    return profiles.ReadValue(file, section, key, "<missing>", 255);
  }
};

TEST_F(IniEntriesTest, AFileNamedTwiceIsRegisteredAndLoggedOnce) {
  UseSettings(
      "[INIINFO]\r\nTOTAL=2\r\n"
      "A0=INI Files\\acme.ini\\\r\nC0=<InstallDir>\r\n"
      "A1=INI Files\\acme.ini\r\nC1=<InstallDir>\r\n"
      "[INIDATA]\r\nTOTAL=2\r\nA0=INI Files\\acme.ini\\A\\x\r\nC0=1\r\nA1=INI Files\\acme.ini\\A\\y\r\nC1=2\r\n");
  WriteIniEntries(session);
  ASSERT_EQ(session.IniFiles.size(), 1u);
  EXPECT_EQ(session.IniFiles[0].Identifier, "acme.ini");
  EXPECT_EQ(Log(), "FILE=C:\\Program Files\\Acme\\acme.ini\r\n");
}

TEST_F(IniEntriesTest, EntriesSplitIntoSectionAndKeyAndNeedARegisteredFile) {
  UseSettings(
      "[INIINFO]\r\nTOTAL=1\r\nA0=INI Files\\acme.ini\\\r\nC0=<InstallDir>\r\n"
      "[INIDATA]\r\nTOTAL=3\r\n"
      "A0=INI Files\\acme.ini\\Paths\\Home\\\r\nC0=<InstallDir>\r\n"
      "A1=INI Files\\acme.ini\\Paths\r\nC1=no key\r\n"
      "A2=INI Files\\other.ini\\Paths\\Home\r\nC2=elsewhere\r\n");
  WriteIniEntries(session);
  const std::string ini = "C:\\Program Files\\Acme\\acme.ini";
  EXPECT_EQ(Read(ini, "Paths", "Home"), "C:\\Program Files\\Acme\\");
  EXPECT_EQ(files.ReadAll(ini).value_or("").find("no key"), std::string::npos);
  EXPECT_FALSE(files.Exists("C:\\Program Files\\Acme\\other.ini"));
  EXPECT_FALSE(WriteIniEntry(session, "INI Files\\other.ini\\Paths\\Home", "x"));
}

TEST_F(IniEntriesTest, TheTableRefusesFilesBeyondItsCapacity) {
  for (size_t i = 0; i < kMaxIniFiles; ++i) RegisterIniFile(session, "INI Files\\f" + std::to_string(i), "C:\\x");
  EXPECT_EQ(RegisterIniFile(session, "INI Files\\late.ini", "C:\\x"), "");
  EXPECT_EQ(session.IniFiles.size(), kMaxIniFiles);
  EXPECT_EQ(Log().find("late.ini"), std::string::npos);
}

TEST_F(IniEntriesTest, OnlyAFileTheInstallCreatedIsLoggedAndNamesMatchWhole) {
  files.WriteAll("C:\\windows\\win.ini", "[fonts]\r\n");
  UseSettings(
      "[INIINFO]\r\nTOTAL=4\r\n"
      "A0=INI Files\\win.ini\r\nC0=<WindowsFolder>\r\n"
      "A1=INI Files\\myapp.ini\r\nC1=<InstallDir>\r\n"
      "A2=INI Files\\app.ini\r\nC2=<InstallDir>\r\n"
      "A3=INI Files\\unused.ini\r\nC3=<InstallDir>\r\n"
      "[INIDATA]\r\nTOTAL=3\r\n"
      "A0=INI Files\\win.ini\\Acme\\Home\r\nC0=<InstallDir>\r\n"
      "A1=INI Files\\myapp.ini\\Main\\Key\r\nC1=mine\r\n"
      "A2=INI Files\\app.ini\\Main\\Key\r\nC2=plain\r\n");
  WriteIniEntries(session);
  EXPECT_EQ(Read("C:\\windows\\win.ini", "Acme", "Home"), "C:\\Program Files\\Acme\\");
  EXPECT_EQ(Read("C:\\Program Files\\Acme\\myapp.ini", "Main", "Key"), "mine") << "app.ini is registered later";
  EXPECT_EQ(Read("C:\\Program Files\\Acme\\app.ini", "Main", "Key"), "plain");
  EXPECT_EQ(Log(), "FILE=C:\\Program Files\\Acme\\myapp.ini\r\nFILE=C:\\Program Files\\Acme\\app.ini\r\n")
      << "win.ini was there before; unused.ini was never made";
}

}  // namespace
}  // namespace tw
