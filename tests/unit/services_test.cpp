// The services phase over the fake manager: what the texts select, the Windows 9x skip, and the
// answers to the retry dialog.
#include "install/services.h"

#include "install_phase_fixture.h"

namespace tw {
namespace {

class ServicesTest : public InstallPhaseTest {
 protected:
  ServicesTest() { files.MakeFolders(session.LogDir); }
  // Two services, the first with the given type, start and error-control texts.
  void TwoServices(const std::string& type = "", const std::string& start = "", const std::string& error = "") {
    UseSettings("[NTSERVICE]\r\nTOTAL=2\r\nA0=First\r\nB0=First Service\r\nC0=" + type + "\r\nD0=" + start +
                "\r\nE0=" + error + "\r\nF0=<InstallDir>first.exe -k\r\nA1=Second\r\nB1=Second Service\r\n"
                "F1=<InstallDir>second.exe\r\n");
  }
};

TEST_F(ServicesTest, TextsSelectTheManagersValues) {
  struct Case {
    const char *type, *start, *error;
    uint32_t typeValue, startValue, errorValue;
  } cases[] = {
      {"SERVICE_WIN32_SHARE_PROCESS", "SERVICE_AUTO_START", "SERVICE_ERROR_CRITICAL", 32, 2, 3},
      {"SERVICE_INTERACTIVE_PROCESS", "SERVICE_BOOT_START", "SERVICE_ERROR_NORMAL", 16 | 256, 0, 1},
      {"own", "service_auto_start", "", 16, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    services.created.clear();
    services.attempts.clear();
    TwoServices(c.type, c.start, c.error);
    InstallServices(session);
    ASSERT_EQ(services.attempts.size(), 2u);
    const ServiceSpec& first = services.attempts[0];
    EXPECT_EQ(first.name, "First");
    EXPECT_EQ(first.displayName, "First Service");
    EXPECT_EQ(first.path, "\"C:\\Program Files\\Acme\\first.exe\" -k");
    EXPECT_EQ(first.type, c.typeValue);
    EXPECT_EQ(first.startType, c.startValue);
    EXPECT_EQ(first.errorControl, c.errorValue);
    EXPECT_EQ(services.created.size(), 2u);
  }
  EXPECT_EQ(progress.statuses.front(), "Installing Service...");
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(ServicesTest, RetryIgnoreAndCancel) {
  struct Case {
    int answer;
    const char* log;
    size_t attempts;
    int cancelled, removals;
  } cases[] = {
      {FixedDialogs::kRetry, "NTSERVICE=First\r\nNTSERVICE=Second\r\n", 3, -1, 0},
      {FixedDialogs::kIgnore, "NTSERVICE=Second\r\n", 2, -1, 0},
      {FixedDialogs::kCancel, "NTSERVICE=Second\r\n", 2, kOn, 1},
  };
  TwoServices();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    session.CloseLog();  // the run keeps its log open
    files.Remove(session.LogPath);
    services.created.clear();
    services.attempts.clear();
    services.refusals = 1;
    ui.dialogs.clear();
    ui.dialogResults = {c.answer};
    flags.cancelled = -1;
    workFolderRemovals = 0;

    InstallServices(session);

    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].text.value_or(""),
              "Tarnwick can't install First Service service. What do you want to do ?\r\nAccess is denied")
        << "the manager's reason below the message";
    EXPECT_TRUE(ui.dialogs[0].buttons[0].visible) << "Retry is offered";
    EXPECT_EQ(services.attempts.size(), c.attempts);
    EXPECT_EQ(Log(), c.log);
    EXPECT_EQ(flags.cancelled.load(), c.cancelled);
    EXPECT_EQ(workFolderRemovals, c.removals);
  }
}

TEST_F(ServicesTest, NothingOnWindows9xOrWithoutAManager) {
  TwoServices();
  session.host.OsTag = "98";
  InstallServices(session);
  EXPECT_EQ(progress.statuses, std::vector<std::string>{"Installing Service..."}) << "the status still shows";
  EXPECT_TRUE(services.attempts.empty());

  session.host.OsTag = "XP";
  services.managerAvailable = false;
  InstallServices(session);
  EXPECT_EQ(services.attempts.size(), 2u);
  EXPECT_TRUE(ui.dialogs.empty()) << "an unreachable manager is not the user's decision";
  EXPECT_EQ(Log(), "");

  UseSettings("[NTSERVICE]\r\nTOTAL=0\r\n");
  InstallServices(session);
  EXPECT_EQ(progress.statuses.size(), 2u) << "no status for an empty section";
}

TEST_F(ServicesTest, AProgramPathWithBlanksIsQuotedAndItsArgumentsAreNot) {
  files.MakeFolders("C:\\Program Files\\Acme Tools");
  files.WriteAll("C:\\Program Files\\Acme Tools\\agent", "MZ");
  struct Case {
    const char *line, *quoted;
  } cases[] = {
      {"C:\\Program Files\\Acme\\svc.exe", "\"C:\\Program Files\\Acme\\svc.exe\""},
      {"C:\\Program Files\\Acme\\svc.EXE -k run now", "\"C:\\Program Files\\Acme\\svc.EXE\" -k run now"},
      {"C:\\Acme\\svc.exe -k run", "C:\\Acme\\svc.exe -k run"},
      {"\"C:\\Program Files\\Acme\\svc.exe\" -k", "\"C:\\Program Files\\Acme\\svc.exe\" -k"},
      {"C:\\Program Files\\Acme Tools\\agent --port 80", "\"C:\\Program Files\\Acme Tools\\agent\" --port 80"},
      {"C:\\Program Files\\Acme\\svc.exe.bak\\run.exe", "\"C:\\Program Files\\Acme\\svc.exe.bak\\run.exe\""},
      {"C:\\Program Files\\Acme\\missing", "\"C:\\Program Files\\Acme\\missing\""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteServiceProgram(files, c.line), c.quoted) << c.line;
}

}  // namespace
}  // namespace tw
