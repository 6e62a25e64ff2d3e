// Shortcuts of a project: where the shell folder names lead, which folders the installation owns,
// icons, web addresses, features and what the uninstall log records.
#include "install/shortcuts.h"

#include "install_phase_fixture.h"

namespace tw {
namespace {

class ShortcutsTest : public InstallPhaseTest {
 protected:
  ShortcutsTest() {
    session.host.Folders.programs = "C:\\users\\tester\\Start Menu\\Programs";
    session.host.Folders.startup = "C:\\users\\tester\\Start Menu\\Programs\\StartUp";
    session.host.Folders.startMenu = "C:\\users\\tester\\Start Menu";
    session.host.Folders.desktop = "C:\\users\\tester\\Desktop";
    session.host.Folders.appData = "C:\\users\\tester\\AppData\\Roaming";
    for (const std::string& folder : {session.host.Folders.startup, session.host.Folders.desktop, QuickLaunch(),
                                      session.InstallDir(), session.LogDir})
      files.MakeFolders(folder);
  }
  static std::string QuickLaunch() {
    return "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch";
  }
};

TEST_F(ShortcutsTest, ShellFolderNamesLeadToTheUsersFoldersAndOnlyOwnFoldersAreLogged) {
  UseSettings(
      "[FOLDERTW]\r\nTOTAL=5\r\n"
      "A0=Start Menu\\Programs Menu\\<ProductName>\\Acme App\r\nB0=Acme App\r\nC0=<InstallDir>acme.exe\r\n"
      "D0=Runs <ProductName>\r\nE0=Maximized\r\nF0=<InstallDir>\r\nG0=-x\r\n"
      "A1=Start Menu\\Programs Menu\\Acme Help\\\r\nB1=Acme Help\r\nC1=<InstallDir>help.txt\r\n"
      "A2=Active Desktop\\Acme\r\nB2=Acme\r\nC2=<InstallDir>acme.exe\r\nE2=Minimized\r\n"
      "A3=Start Menu\\StartUp\\Acme Tray\r\nB3=Acme Tray\r\nC3=<InstallDir>tray.exe\r\n"
      "A4=Start Menu\\Programs Menu\\Notes\\Notes\r\nB4=Notes\r\nC4=<InstallDir>notes.exe\r\n");
  CreateShortcuts(session);

  const std::string programs = session.host.Folders.programs + "\\";
  EXPECT_TRUE(files.IsFolder(programs + "Acme"));
  EXPECT_EQ(Log(),
            "DIR=" + programs + "Acme\r\n"
            "SHORTCUT=" + programs + "Acme\\Acme App.lnk\r\n"
            "SHORTCUT=" + programs + "Acme Help.lnk\r\n"
            "SHORTCUT=" + QuickLaunch() + "\\Acme.lnk\r\n"
            "SHORTCUT=" + session.host.Folders.startup + "\\Acme Tray.lnk\r\n"
            "DIR=" + programs + "Notes\r\n"
            "SHORTCUT=" + programs + "Notes\\Notes.lnk\r\n")
      << "a program folder named like its shortcut is still made";

  const ShellLink& app = shell.links[programs + "Acme\\Acme App.lnk"];
  EXPECT_EQ(app.path, "C:\\Program Files\\Acme\\acme.exe");
  EXPECT_EQ(app.description, "Runs Acme");
  EXPECT_EQ(app.arguments, "-x");
  EXPECT_EQ(app.workingFolder, "C:\\Program Files\\Acme\\");
  EXPECT_EQ(app.showCommand, 3);
  EXPECT_EQ(shell.links[programs + "Acme Help.lnk"].showCommand, 0);
  EXPECT_EQ(shell.links[QuickLaunch() + "\\Acme.lnk"].showCommand, 7);
  EXPECT_TRUE(files.Exists(session.host.Folders.startup + "\\Acme Tray.lnk"));
}

TEST_F(ShortcutsTest, ShellFolderNamesAreNotReplacedInsideFoldersAlreadyPutIn) {
  SpecialFolders folders = session.host.Folders;
  EXPECT_EQ(ReplaceShellFolders("Start Menu\\StartUp\\Tray", folders), folders.startup + "\\Tray");
  EXPECT_EQ(ReplaceShellFolders("Start Menu\\Acme\\\\Tools", folders), folders.startMenu + "\\Acme\\Tools");
  folders.desktop = "C:\\Favorites Desktop";
  folders.favorites = "C:\\Desktop Favorites";
  EXPECT_EQ(ReplaceShellFolders("Desktop\\A", folders), "C:\\Favorites Desktop\\A");
  EXPECT_EQ(ReplaceShellFolders("Active Desktop\\Start Menu\\A", folders),
            folders.appData + "\\Microsoft\\Internet Explorer\\Quick Launch\\Start Menu\\A");
}

TEST_F(ShortcutsTest, AnIconInThePayloadIsCopiedToTheInstallFolderAndAMissingOneLeavesNoIcon) {
  ASSERT_TRUE(files.WriteAll(session.PayloadDir + "acme.ico", "ICON"));
  UseSettings(
      "[FOLDERTW]\r\nTOTAL=2\r\n"
      "A0=Desktop\\Acme\r\nB0=Acme\r\nC0=<InstallDir>acme.exe\r\nH0=C:\\author\\art\\acme.ico\r\nI0=2\r\n"
      "A1=Desktop\\Other\r\nB1=Other\r\nC1=<InstallDir>other.exe\r\nH1=C:\\author\\art\\gone.ico\r\nI1=3\r\n");
  CreateShortcuts(session);

  const std::string icon = "C:\\Program Files\\Acme\\acme.ico";
  EXPECT_EQ(files.ReadAll(icon).value_or(""), "ICON");
  const std::string desktop = session.host.Folders.desktop + "\\";
  EXPECT_EQ(Log(), "FILE=" + icon + "\r\nSHORTCUT=" + desktop + "Acme.lnk\r\nSHORTCUT=" + desktop + "Other.lnk\r\n");
  EXPECT_EQ(shell.links[desktop + "Acme.lnk"].iconLocation, icon);
  EXPECT_EQ(shell.links[desktop + "Acme.lnk"].iconIndex, 2);
  EXPECT_EQ(shell.links[desktop + "Other.lnk"].iconLocation, "");
  EXPECT_FALSE(files.Exists("C:\\Program Files\\Acme\\gone.ico"));
}

TEST_F(ShortcutsTest, AShortcutOfAFeatureSwitchedOffMakesAndLogsNothing) {
  session.host.Features.Add("Docs", kFeatureSkip);
  session.host.Features.Add("Core", kFeatureInstall);
  ASSERT_TRUE(files.WriteAll(session.PayloadDir + "docs.ico", "ICON"));
  UseSettings(
      "[FOLDERTW]\r\nTOTAL=2\r\n"
      "A0=Start Menu\\Programs Menu\\Acme\\Docs\r\nB0=Docs\r\nC0=http://acme.example/docs\r\nH0=docs.ico\r\nJ0=Docs\r\n"
      "A1=Desktop\\Acme\r\nB1=Acme\r\nC1=<InstallDir>acme.exe\r\nJ1=Core\r\n");
  CreateShortcuts(session);

  EXPECT_FALSE(files.Exists(session.host.Folders.programs + "\\Acme"));
  EXPECT_FALSE(files.Exists("C:\\Program Files\\Acme\\docs.ico"));
  EXPECT_TRUE(shell.internetShortcuts.empty());
  EXPECT_EQ(shell.links.size(), 1u);
  EXPECT_EQ(Log(), "SHORTCUT=" + session.host.Folders.desktop + "\\Acme.lnk\r\n");
}

TEST_F(ShortcutsTest, AWebAddressGetsAnInternetShortcutBesideTheLinkAndAMissingFolderNeither) {
  UseSettings(
      "[FOLDERTW]\r\nTOTAL=2\r\n"
      "A0=Desktop\\Acme Site\r\nB0=Acme Site\r\nC0=HTTP://acme.example/\r\n"
      "A1=C:\\Nowhere\\Acme Site\r\nB1=Acme Site\r\nC1=http://acme.example/\r\n");
  CreateShortcuts(session);

  const std::string desktop = session.host.Folders.desktop + "\\";
  EXPECT_EQ(shell.internetShortcuts[desktop + "Acme Site.url"], "HTTP://acme.example/");
  EXPECT_EQ(shell.links[desktop + "Acme Site.lnk"].path, "HTTP://acme.example/");
  EXPECT_EQ(Log(), "SHORTCUT=" + desktop + "Acme Site.url\r\nSHORTCUT=" + desktop + "Acme Site.lnk\r\n");
  EXPECT_FALSE(files.Exists("C:\\Nowhere"));
}

}  // namespace
}  // namespace tw
