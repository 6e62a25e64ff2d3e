// The uninstaller over the fake platform: the order a log is undone in, what each entry does, what
// no log can make it remove, files in use, logs cut short or written by someone hostile, and the
// command lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "install/stored_text_file.h"
#include "platform/fake/fake_platform.h"
#include "uninstall/product_removal.h"
#include "uninstall/uninstall_app.h"

namespace tw {
namespace {

const char kLogDir[] = "C:\\windows\\Installer\\{P}\\";
const char kRegistration[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}";

class Uninstall : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.system.environment["TARNWICK_LOG"] = "C:\\trace.log";
    fake.files.MakeFolders(kLogDir);
    fake.registry.CreateKey(RegRoot::LocalMachine, kRegistration);
    fake.registry.WriteString(RegRoot::LocalMachine, kRegistration, "DisplayName", "Demo", false);
  }
  void Log(const std::string& lines) { fake.files.WriteAll(std::string(kLogDir) + "uninstall.log", lines); }
  void File(const std::string& path) {
    fake.files.MakeFolders(path.substr(0, path.rfind('\\')));
    fake.files.WriteAll(path, "x");
  }
  void Key(RegRoot root, const std::string& key, const std::string& value = "") {
    fake.registry.CreateKey(root, key);
    if (!value.empty()) fake.registry.WriteString(root, key, value, "1", false);
  }
  int Run(const std::string& commandLine) { return UninstallApp(fake.platform).Run(commandLine); }
  // The trace lines of the uninstaller's decisions on entries, in order.
  std::vector<std::string> Decisions() const {
    std::vector<std::string> lines;
    std::istringstream in(fake.files.ReadAll("C:\\trace.log").value_or(""));
    for (std::string line; std::getline(in, line);)
      if (line.rfind("uninstall entry ", 0) == 0) lines.push_back(line.substr(16));
    return lines;
  }

  FakePlatform fake;
};

TEST_F(Uninstall, UndoesEachKindInItsTurnAndEachKindFromTheLastEntry) {
  File("C:\\App\\a.exe");
  File("C:\\App\\Sub\\b.txt");
  File("C:\\users\\tester\\Start Menu\\Programs\\Demo\\Demo.lnk");
  File(std::string(kLogDir) + "cleanup.exe");
  Key(RegRoot::CurrentUser, "Software\\Demo\\Settings", "Colour");
  Key(RegRoot::CurrentUser, "Software\\Demo\\Settings", "Size");
  Key(RegRoot::CurrentUser, "Software\\Demo\\Kept", "Planted");
  Key(RegRoot::ClassesRoot, ".demo\\ShellNew");
  Key(RegRoot::ClassesRoot, "Demo.Document\\shell\\open\\command");
  fake.services.Create({"DemoSvc", "Demo", 16, 3, 1, "C:\\App\\a.exe"});
  Log("TOTALFILE=2\r\nDIR=C:\\App\r\nDIR=C:\\App\\Sub\r\nRUN3RD=cleanup.exe\r\nRUN3RDCMD=/quiet\r\n"
      "FILE=C:\\App\\a.exe\r\nFILE=C:\\App\\Sub\\b.txt\r\nDIR=C:\\users\\tester\\Start Menu\\Programs\\Demo\r\n"
      "SHORTCUT=C:\\users\\tester\\Start Menu\\Programs\\Demo\\Demo.lnk\r\nREGKEY=HKEY_CURRENT_USER\\Software\\Demo\r\n"
      "REGKEY=HKEY_CURRENT_USER\\Software\\Demo\\Settings\r\nREGVAL=HKEY_CURRENT_USER\\Software\\Demo\\Settings\\Colour\r\n"
      "REGVAL=HKEY_CURRENT_USER\\Software\\Demo\\Settings\\Size\r\nREMKEY=HKEY_CLASSES_ROOT\\Demo.Document\r\n"
      "REMKEY=HKEY_CLASSES_ROOT\\.demo\r\nNTSERVICE=DemoSvc\r\n");

  EXPECT_EQ(Run("dovuvi.exe /S {P}"), kExitSuccess);

  const std::vector<std::string> expected = {
      "line=4 key=RUN3RD value=cleanup.exe result=ran",
      "line=16 key=NTSERVICE value=DemoSvc result=removed",
      "line=9 key=SHORTCUT value=\"C:\\users\\tester\\Start Menu\\Programs\\Demo\\Demo.lnk\" result=removed",
      "line=7 key=FILE value=\"C:\\App\\Sub\\b.txt\" result=removed",
      "line=6 key=FILE value=\"C:\\App\\a.exe\" result=removed",
      "line=13 key=REGVAL value=\"HKEY_CURRENT_USER\\Software\\Demo\\Settings\\Size\" result=removed",
      "line=12 key=REGVAL value=\"HKEY_CURRENT_USER\\Software\\Demo\\Settings\\Colour\" result=removed",
      "line=15 key=REMKEY value=\"HKEY_CLASSES_ROOT\\.demo\" result=removed",
      "line=14 key=REMKEY value=\"HKEY_CLASSES_ROOT\\Demo.Document\" result=removed",
      "line=11 key=REGKEY value=\"HKEY_CURRENT_USER\\Software\\Demo\\Settings\" result=removed",
      "line=10 key=REGKEY value=\"HKEY_CURRENT_USER\\Software\\Demo\" result=kept-not-empty",
      "line=8 key=DIR value=\"C:\\users\\tester\\Start Menu\\Programs\\Demo\" result=removed",
      "line=3 key=DIR value=\"C:\\App\\Sub\" result=removed",
      "line=2 key=DIR value=\"C:\\App\" result=removed",
  };
  EXPECT_EQ(Decisions(), expected);
  ASSERT_EQ(fake.shell.runs.size(), 1u);
  EXPECT_EQ(fake.shell.runs[0].commandLine, "\"C:\\windows\\Installer\\{P}\\cleanup.exe\" /quiet");
  EXPECT_TRUE(fake.services.created.empty());
  EXPECT_FALSE(fake.files.Exists("C:\\App"));
  EXPECT_FALSE(fake.files.Exists("C:\\users\\tester\\Start Menu\\Programs\\Demo"));
  EXPECT_FALSE(fake.registry.KeyExists(RegRoot::ClassesRoot, ".demo"));
  EXPECT_TRUE(fake.registry.ReadString(RegRoot::CurrentUser, "Software\\Demo\\Kept", "Planted"))
      << "a key holding what the installation did not write stays";
  EXPECT_FALSE(fake.registry.KeyExists(RegRoot::LocalMachine, kRegistration));
  EXPECT_FALSE(fake.files.Exists(kLogDir));
  EXPECT_FALSE(fake.files.Exists("C:\\windows\\Installer")) << "the last product's log folder takes its parent";
}

TEST_F(Uninstall, KeepsWhatNoInstallationOwnsWhateverTheLogSays) {
  fake.registry.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  fake.registry.WriteString(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                            "C:\\Program Files", false);
  fake.files.MakeFolders("C:\\Program Files\\Common Files");
  File("C:\\windows\\system32\\kernel32.dll");
  File("C:\\windows\\win.ini");
  File("C:\\Target\\keep.txt");
  fake.files.MakeFolders("C:\\Linked");
  std::filesystem::create_directory_symlink(fake.files.HostPath("C:\\Target"), fake.files.HostPath("C:\\Linked\\To"));
  Key(RegRoot::CurrentUser, "Software");
  Key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  Key(RegRoot::ClassesRoot, "CLSID");
  Key(RegRoot::CurrentUser, "Environment", "Path");
  fake.services.Create({"Spooler", "Print Spooler", 16, 2, 1, "C:\\windows\\system32\\spoolsv.exe"});
  fake.system.driveTargets = {{'W', "C:\\windows"}, {'V', "W:\\"}, {'N', "\\\\server\\share"}};
  fake.system.specialFolders[0x2e] = "C:\\Dok\xFCmente";

  const struct {
    const char* entry;
    const char* reason;
  } cases[] = {
      {"FILE=C:\\Windows\\system32\\kernel32.dll", "inside-windows-folder"},
      {"FILE=c:/WINDOWS//System32/kernel32.dll", "inside-windows-folder"},
      {"FILE=C:\\App\\..\\windows\\win.ini", "dot-component"},
      {"FILE=C:\\windows.\\win.ini", "trailing-dot-or-blank"},
      {"FILE=C:\\WINDOW~1\\win.ini", "short-name"},
      {"FILE=win.ini", "not-a-drive-path"},
      {"FILE=\\\\?\\C:\\windows\\win.ini", "not-a-drive-path"},
      {"FILE=C:\\Linked\\To\\keep.txt", "link"},
      {"FILE=W:\\win.ini", "inside-windows-folder"},
      {"FILE=V:\\win.ini", "inside-windows-folder"},
      {"FILE=N:\\App\\a.dll", "network-drive"},
      {"DIR=C:\\DOK\xDCMENTE", "well-known-folder"},
      {"DIR=C:\\", "drive-root"},
      {"DIR=C:\\Program Files", "well-known-folder"},
      {"DIR=C:\\users", "well-known-folder"},
      {"DIR=C:\\users\\tester\\Start Menu\\Programs", "well-known-folder"},
      {"DIR=C:\\users\\tester\\Desktop", "well-known-folder"},
      {"DIR=C:\\users\\alice", "user-folder"},
      {"DIR=C:\\users\\tester\\Downloads", "user-folder"},
      {"DIR=C:\\users\\alice\\AppData\\Local", "user-folder"},
      {"FILE=C:\\users\\alice\\Documents\\report.txt", "another-users-profile"},
      {"DIR=C:\\windows\\Temp", "inside-windows-folder"},
      {"DIR=C:\\Linked\\To", "link"},
      {"REGKEY=HKEY_CURRENT_USER\\Software", "top-level-key"},
      {"REGKEY=HKEY_LOCAL_MACHINE", "root-key"},
      {"REMKEY=HKEY_LOCAL_MACHINE\\SOFTWARE", "top-level-key"},
      {"REMKEY=HKEY_CLASSES_ROOT\\CLSID", "top-level-key"},
      {"REMKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows", "well-known-key"},
      {"REMKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "well-known-key"},
      {"REMKEY=HKEY_NOWHERE\\x\\y", "not-a-key-path"},
      {"REGVAL=HKEY_CURRENT_USER\\Environment\\PATH", "system-variable"},
      {"RUN3RD=..\\..\\system32\\cmd.exe", "not-a-file-name"},
      {"NTSERVICE=..\\Tcpip", "not-a-service-name"},
      {"NTSERVICE=spooler", "not-the-products-service"},
      // The same keys and values spelled through another root, view or control set.
      {"REMKEY=HKEY_USERS\\S-1-5-21-7\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "well-known-key"},
      {"REGKEY=HKEY_USERS\\S-1-5-21-7\\Software", "top-level-key"},
      {"REMKEY=HKEY_USERS\\S-1-5-21-7", "top-level-key"},
      {"REMKEY=HKEY_LOCAL_MACHINE\\Software\\Classes\\exefile", "top-level-key"},
      {"REMKEY=HKEY_USERS\\S-1-5-21-7_Classes\\CLSID", "top-level-key"},
      {"REMKEY=HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services", "well-known-key"},
      {"REMKEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", "well-known-key"},
      {"REGVAL=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Userinit",
       "autorun-value"},
      {"REGVAL=HKEY_USERS\\S-1-5-21-7\\Environment\\Path", "system-variable"},
  };
  std::string log;
  for (const auto& c : cases) log += std::string(c.entry) + "\r\n";
  Log(log);
  EXPECT_EQ(Run("/S {P}"), kExitSuccess);

  std::map<std::string, std::string> byLine;
  for (const std::string& decision : Decisions()) byLine[decision.substr(0, decision.find(' '))] = decision;
  int line = 0;
  for (const auto& c : cases) {
    const std::string decision = byLine["line=" + std::to_string(++line)];
    EXPECT_NE(decision.find("result=refused reason=" + std::string(c.reason)), std::string::npos)
        << c.entry << " -> " << decision;
  }
  EXPECT_TRUE(fake.files.Exists("C:\\windows\\system32\\kernel32.dll"));
  EXPECT_TRUE(fake.files.Exists("C:\\windows\\win.ini"));
  EXPECT_TRUE(fake.files.Exists("C:\\Target\\keep.txt"));
  EXPECT_TRUE(fake.files.IsFolder("C:\\Program Files\\Common Files"));
  EXPECT_TRUE(fake.registry.KeyExists(RegRoot::CurrentUser, "Software"));
  EXPECT_TRUE(fake.registry.KeyExists(RegRoot::ClassesRoot, "CLSID"));
  EXPECT_TRUE(fake.registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_TRUE(fake.registry.ReadString(RegRoot::CurrentUser, "Environment", "Path"));
  EXPECT_TRUE(fake.shell.runs.empty());
  EXPECT_TRUE(fake.services.removals.empty());
  EXPECT_EQ(fake.services.created.count("spooler"), 1u);
}

// Only what a program holds open goes at the next start (its folder after it); a file the system
// refused for another reason stays, and the removal says it failed.
TEST_F(Uninstall, OnlyFilesInUseGoAtTheNextStart) {
  File("C:\\App\\busy.dll");
  File("C:\\App\\free.txt");
  File("C:\\App\\denied.dll");
  File("C:\\All\\Sub\\running.exe");
  File("C:\\All\\denied.txt");
  fake.files.Hold("C:\\App\\busy.dll", true);
  fake.files.Hold("C:\\All\\Sub\\running.exe", true);
  fake.files.DenyRemoval("C:\\App\\denied.dll", true);
  fake.files.DenyRemoval("C:\\All\\denied.txt", true);
  Log("DIR=C:\\App\r\nFILE=C:\\App\\busy.dll\r\nFILE=C:\\App\\free.txt\r\nFILE=C:\\App\\denied.dll\r\n");
  EXPECT_EQ(Run("/S {P}"), kExitFailed);
  EXPECT_EQ(fake.files.removeAtRestart, (std::vector<std::string>{"C:\\App\\busy.dll", "C:\\App"}));
  EXPECT_FALSE(fake.files.Exists("C:\\App\\free.txt"));

  fake.files.removeAtRestart.clear();
  SetUp();
  Log("DIR=C:\\All\r\nREMOVEALL=Yes\r\n");
  EXPECT_EQ(Run("/S {P}"), kExitFailed) << "a file refused inside the folder";
  EXPECT_EQ(fake.files.removeAtRestart,
            (std::vector<std::string>{"C:\\All\\Sub\\running.exe", "C:\\All\\Sub", "C:\\All"}));
  EXPECT_TRUE(fake.files.Exists("C:\\All\\denied.txt"));

  fake.files.removeAtRestart.clear();
  fake.files.DenyRemoval("C:\\All\\denied.txt", false);
  SetUp();
  Log("DIR=C:\\All\r\nREMOVEALL=Yes\r\n");
  EXPECT_EQ(Run("/S {P}"), kExitRestartNeeded) << "only in use: done at the next start";
}

TEST_F(Uninstall, RemoveAllTakesTheInstallFolderWithEverythingInIt) {
  File("C:\\Vendor\\App\\a.exe");
  File("C:\\Vendor\\App\\Data\\user-made.txt");
  File("C:\\Shared\\other.txt");
  fake.files.MakeFolders("C:\\windows\\Installer\\{Other}");
  std::filesystem::create_directory_symlink(fake.files.HostPath("C:\\Shared"),
                                            fake.files.HostPath("C:\\Vendor\\App\\Link"));
  // The install folder comes first, the folders made above it after it.
  Log("DIR=C:\\Vendor\\App\r\nDIR=C:\\Vendor\r\nDIR=C:\\Shared\r\nFILE=C:\\Vendor\\App\\a.exe\r\nREMOVEALL=Yes\r\n");
  EXPECT_EQ(Run("/S {P}"), kExitSuccess);
  EXPECT_FALSE(fake.files.Exists("C:\\Vendor")) << "emptied by the install folder's removal, then removed";
  EXPECT_TRUE(fake.files.Exists("C:\\Shared\\other.txt")) << "only the install folder goes whole, a link in it alone";
  EXPECT_TRUE(fake.files.IsFolder("C:\\windows\\Installer\\{Other}")) << "another product's log stays";
}

TEST_F(Uninstall, ReadsOnlyWholeTrustworthyLines) {
  const std::string longPath(kMaxLogLine, 'a');
  UninstallLog log = ParseUninstallLog("TOTALFILE=1\r\nnonsense\r\n=C:\\x\r\nFORMAT=C:\\\r\nFILE=C:\\a\x01.txt\r\n"
                                       "FILE=C:\\" + longPath + "\r\n\r\nDIR=C:\\App\nFILE=C:\\App\\ha");
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_EQ(log.entries[1].value, "C:\\App") << "a bare line feed ends a line too";
  std::vector<std::pair<int, std::string>> skipped;
  for (const SkippedLine& line : log.skipped) skipped.push_back({line.line, line.reason});
  const std::vector<std::pair<int, std::string>> expected = {
      {2, "no-key"}, {3, "no-key"}, {4, "unknown-key"}, {5, "control-characters"}, {6, "too-long"}, {9, "unterminated"}};
  EXPECT_EQ(skipped, expected);
}

// The log keeps the bytes older versions wrote while every character fits the ANSI code page
// (Windows-1252 on the fake machine); the first line that does not turns the whole log into UTF-8
// after the byte-order mark. The uninstaller reads either and removes exactly the files named.
TEST_F(Uninstall, ReadsTheLogInTheFormItWasWritten) {
  const std::string logPath = std::string(kLogDir) + "uninstall.log";
  const struct {
    std::vector<std::string> files;
    std::string bytes;
  } cases[] = {
      {{"C:\\App\\a.exe", "C:\\App\\b.txt"}, "TOTALFILE=2\r\nFILE=C:\\App\\a.exe\r\nFILE=C:\\App\\b.txt\r\n"},
      {{"C:\\App\\café.txt"}, "TOTALFILE=1\r\nFILE=C:\\App\\caf\xE9.txt\r\n"},
      {{"C:\\App\\é.txt", "C:\\日本語＼App\\日本語＼x.txt"},
       "\xEF\xBB\xBFTOTALFILE=2\r\nFILE=C:\\App\\é.txt\r\nFILE=C:\\日本語＼App\\日本語＼x.txt\r\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    {
      StoredTextFile log(fake.files, fake.system, logPath);
      EXPECT_TRUE(log.Write("TOTALFILE=" + std::to_string(c.files.size()) + "\r\n"));
      for (const std::string& path : c.files) {
        File(path);
        EXPECT_TRUE(log.Write("FILE=" + path + "\r\n"));
      }
    }
    EXPECT_EQ(fake.files.ReadAll(logPath).value_or(""), c.bytes);
    EXPECT_EQ(Run("dovuvi.exe /S {P}"), kExitSuccess) << c.bytes;
    for (const std::string& path : c.files) EXPECT_FALSE(fake.files.Exists(path)) << path;
    EXPECT_FALSE(fake.files.Exists("C:\\日本語")) << "a fullwidth backslash never names another folder";
  }
}

TEST_F(Uninstall, AnUnknownProductChangesNothing) {
  File("C:\\App\\a.exe");
  Log("FILE=C:\\App\\a.exe\r\n");
  EXPECT_EQ(Run("/S {Q}"), kExitUnknownProduct);
  EXPECT_TRUE(fake.ui.dialogs.empty()) << "silent means no window";
  EXPECT_EQ(Run("/R {Q}"), kExitUnknownProduct);
  ASSERT_EQ(fake.ui.dialogs.size(), 1u);
  EXPECT_EQ(fake.ui.dialogs[0].text.value_or(""),
            "{Q} is not installed on this computer (its removal information was not found). Nothing was changed.");
  EXPECT_EQ(Run("/S ..\\..\\"), kExitUnknownProduct);
  const size_t shown = fake.ui.dialogs.size();
  EXPECT_EQ(Run("dovuvi.exe /S"), kExitBadCommandLine);
  EXPECT_EQ(fake.ui.dialogs.size(), shown) << "/S without a code still shows nothing";
  EXPECT_EQ(Run("dovuvi.exe"), kExitBadCommandLine);
  EXPECT_TRUE(fake.files.Exists("C:\\App\\a.exe"));
  EXPECT_TRUE(fake.registry.KeyExists(RegRoot::LocalMachine, kRegistration));
}

TEST_F(Uninstall, AsksOnceAndADeclineChangesNothing) {
  File("C:\\App\\a.exe");
  Log("FILE=C:\\App\\a.exe\r\n");
  fake.ui.dialogResults = {2};
  EXPECT_EQ(Run("dovuvi.exe /R {P}"), kExitCancelled);
  ASSERT_EQ(fake.ui.dialogs.size(), 1u);
  EXPECT_EQ(fake.ui.dialogs[0].text.value_or(""), "Remove Demo and all of its components?");
  EXPECT_TRUE(fake.files.Exists("C:\\App\\a.exe"));

  fake.ui.dialogResults = {1, 1};
  EXPECT_EQ(Run(" \"/M\" {P}"), kExitSuccess);
  EXPECT_EQ(fake.ui.dialogs[1].text.value_or("").rfind("Changing or repairing Demo is not available yet", 0), 0u);
  EXPECT_EQ(fake.ui.dialogs.back().text.value_or(""), "Demo was removed from your computer.")
      << "without a theme the end is a message";
  EXPECT_FALSE(fake.files.Exists("C:\\App\\a.exe"));
}

TEST_F(Uninstall, CommandLines) {
  const struct {
    const char* line;
    UninstallMode mode;
    const char* code;
  } cases[] = {
      {"dovuvi.exe /R {P}", UninstallMode::Remove, "{P}"},
      {" \"/S\" {P}", UninstallMode::Silent, "{P}"},
      {"\"C:\\Program Files\\x\\dovuvi.exe\" /m \"{P Q}\" extra", UninstallMode::Maintain, "{P Q}"},
      {"dovuvi.exe /R", UninstallMode::Remove, ""},
      {"dovuvi.exe /X {P}", UninstallMode::None, ""},
      {"", UninstallMode::None, ""},
  };
  for (const auto& c : cases) {
    UninstallCommand command = ParseUninstallCommandLine(c.line);
    EXPECT_EQ(command.mode, c.mode) << c.line;
    EXPECT_EQ(command.code, c.code) << c.line;
  }
}

// A log that cannot be read removes nothing and keeps the product registered; an entry the system
// would not undo fails the removal once the rest is done.
TEST_F(Uninstall, AnUnreadableLogOrAFailedEntryEndsAsAFailure) {
  File("C:\\App\\a.exe");
  const struct {
    const char* why;
    std::string log;
  } unreadable[] = {{"UTF-16", std::string("F\0I\0L\0E\0=\0C\0:\0\\\0A\0p\0p\0\r\0\n\0", 24)},
                    {"empty", ""},
                    {"too large", "FILE=C:\\App\\a.exe\r\n" + std::string(kMaxLogBytes, '\n')}};
  for (const auto& c : unreadable) {
    Log(c.log);
    EXPECT_EQ(Run("/S {P}"), kExitFailed) << c.why;
    EXPECT_TRUE(fake.files.Exists("C:\\App\\a.exe")) << c.why;
    EXPECT_TRUE(fake.registry.KeyExists(RegRoot::LocalMachine, kRegistration)) << c.why;
    EXPECT_TRUE(fake.files.Exists(kLogDir)) << c.why;
  }
  EXPECT_TRUE(fake.ui.dialogs.empty());
  EXPECT_EQ(Run("/R {P}"), kExitFailed);
  ASSERT_EQ(fake.ui.dialogs.size(), 1u);
  EXPECT_EQ(fake.ui.dialogs[0].text.value_or(""), "The removal information of Demo cannot be read. Nothing was changed.");

  fake.services.managerAvailable = false;
  Log("TOTALFILE=1\r\nFILE=C:\\App\\a.exe\r\nNTSERVICE=DemoSvc\r\n");
  EXPECT_EQ(Run("/S {P}"), kExitFailed);
  EXPECT_FALSE(fake.files.Exists("C:\\App\\a.exe")) << "the rest is still done";
}

// A file two installed products share stays while the other one is still installed.
TEST_F(Uninstall, AFileAnotherInstalledProductListsStays) {
  File("C:\\Acme\\shared.dll");
  File("C:\\Acme\\mine.exe");
  fake.files.MakeFolders("C:\\windows\\Installer\\{Q}");
  fake.files.WriteAll("C:\\windows\\Installer\\{Q}\\uninstall.log", "TOTALFILE=1\r\nFILE=C:\\ACME\\Shared.dll\r\n");
  Log("TOTALFILE=2\r\nFILE=C:\\Acme\\shared.dll\r\nFILE=C:\\Acme\\mine.exe\r\n");
  EXPECT_EQ(Run("/S {P}"), kExitSuccess);
  EXPECT_TRUE(fake.files.Exists("C:\\Acme\\shared.dll"));
  EXPECT_FALSE(fake.files.Exists("C:\\Acme\\mine.exe"));
}

}  // namespace
}  // namespace tw
