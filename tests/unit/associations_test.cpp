// File associations: the class keys and their defaults, the Open command, the icon copied from the
// work folder, and the keys and file logged for the uninstaller.
#include "install/associations.h"

#include "install_phase_fixture.h"

namespace tw {
namespace {

class AssociationsTest : public InstallPhaseTest {
 protected:
  AssociationsTest() {
    files.MakeFolders(session.LogDir);
    files.MakeFolders(session.InstallDir());
    session.placeholders.values.tempDir = system.tempFolder;
    session.host.WorkName = "tw1";
  }
  std::string Default(const std::string& key) {
    return registry.ReadString(RegRoot::ClassesRoot, key, "").value_or("<missing>");
  }
};

TEST_F(AssociationsTest, KeysDefaultsIconAndLogForEachAssociation) {
  files.WriteAll(session.host.WorkDir + "acme.ico", "icon");
  UseSettings(
      "[EXTTW]\r\nTOTAL=2\r\n"
      "B0=<InstallDir>Acme Editor.exe\r\nC0=.acm\r\nD0=AcmeDoc\r\nE0=Acme Document\r\nG0=/open \"%1\"\r\n"
      "H0=C:\\Authoring\\Icons\\acme.ico\r\n"
      "B1=C:\\Tools\\view.exe\r\nC1=.acv\r\nD1=AcmeView\r\nE1=Acme View\r\nG1=\r\nH1=missing.ico\r\n");
  RegisterAssociations(session);

  EXPECT_EQ(Default(".acm"), "AcmeDoc");
  EXPECT_EQ(Default("AcmeDoc"), "Acme Document");
  EXPECT_EQ(Default("AcmeDoc\\DefaultIcon"), "C:\\Program Files\\Acme\\acme.ico") << "only the icon's file name";
  EXPECT_EQ(Default("AcmeDoc\\shell\\Open\\Command"), "\"C:\\Program Files\\Acme\\Acme Editor.exe\" /open \"%1\"");
  EXPECT_EQ(Default("AcmeView\\shell\\open\\command"), "\"C:\\Tools\\view.exe\" ") << "empty arguments keep the blank";
  EXPECT_EQ(files.ReadAll("C:\\Program Files\\Acme\\acme.ico").value_or(""), "icon");
  // The second icon never reached the work folder, so there is no file for the uninstaller.
  EXPECT_EQ(Log(),
            "REMKEY=HKEY_CLASSES_ROOT\\AcmeDoc\r\nREMKEY=HKEY_CLASSES_ROOT\\.acm\r\n"
            "FILE=C:\\Program Files\\Acme\\acme.ico\r\n"
            "REMKEY=HKEY_CLASSES_ROOT\\AcmeView\r\nREMKEY=HKEY_CLASSES_ROOT\\.acv\r\n");
}

TEST_F(AssociationsTest, AnEmptyExtensionOrTypeNeverNamesTheWholeClassesRoot) {
  UseSettings(
      "[EXTTW]\r\nTOTAL=2\r\n"
      "B0=a.exe\r\nC0=\r\nD0=AcmeDoc\r\nE0=Doc\r\n"
      "B1=a.exe\r\nC1=.acm\r\nD1=\\\r\nE1=Doc\r\n");
  RegisterAssociations(session);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(Default(""), "<missing>");
  EXPECT_FALSE(registry.KeyExists(RegRoot::ClassesRoot, "AcmeDoc"));
}

}  // namespace
}  // namespace tw
