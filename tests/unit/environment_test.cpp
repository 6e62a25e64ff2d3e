// Environment variables: set, append and remove in the user's and the machine's scope, the
// uninstaller's entries, and the items that change nothing.
#include "install/environment.h"

#include "install_phase_fixture.h"

namespace tw {
namespace {

const char kSystemKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

class EnvironmentTest : public InstallPhaseTest {
 protected:
  EnvironmentTest() {
    files.MakeFolders(session.LogDir);
    registry.CreateKey(RegRoot::CurrentUser, "Environment");
    registry.CreateKey(RegRoot::LocalMachine, kSystemKey);
  }
  std::string User(const char* name) {
    return registry.ReadString(RegRoot::CurrentUser, "Environment", name).value_or("<missing>");
  }
};

TEST_F(EnvironmentTest, AppendJoinsWithASemicolonAndKeepsAnExpandableValueExpandable) {
  registry.WriteString(RegRoot::CurrentUser, "Environment", "ACME_PATH", "C:\\One;C:\\Two", false);
  registry.WriteString(RegRoot::LocalMachine, kSystemKey, "Path", "%SystemRoot%\\system32", true);
  UseSettings(
      "[ENVIRTW]\r\nTOTAL=3\r\n"
      "A0=ACME_NEW\r\nC0=<InstallDir>\r\nE0=Append\r\nG0=User\r\n"
      "A1=ACME_PATH\r\nC1=C:\\Three\r\nE1=Append\r\nG1=User\r\n"
      "A2=Path\r\nC2=C:\\Acme\r\nE2=Append\r\nG2=System\r\nF2=Remove\r\n");
  SetEnvironmentVariables(session);
  EXPECT_EQ(User("ACME_NEW"), ";C:\\Program Files\\Acme\\");
  EXPECT_EQ(User("ACME_PATH"), "C:\\One;C:\\Two;C:\\Three");
  EXPECT_EQ(registry.ReadString(RegRoot::LocalMachine, kSystemKey, "Path").value_or(""),
            "%SystemRoot%\\system32;C:\\Acme");
  EXPECT_TRUE(registry.IsExpandableString(RegRoot::LocalMachine, kSystemKey, "Path"));
  EXPECT_EQ(Log(), "") << "removing Path at uninstall would take the whole variable";
}

TEST_F(EnvironmentTest, AppendAddsAValueOnlyOnce) {
  struct Case {
    const char *current, *appended, *after;
  } cases[] = {
      {"C:\\One;C:\\Acme;C:\\Two", "C:\\Acme", "C:\\One;C:\\Acme;C:\\Two"},
      {"C:\\One;c:\\acme\\", "C:\\Acme", "C:\\One;c:\\acme\\"},
      {"C:\\Acme", "C:\\Acme\\", "C:\\Acme"},
      {"C:\\Acme2;C:\\XAcme", "C:\\Acme", "C:\\Acme2;C:\\XAcme;C:\\Acme"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.current);
    registry.WriteString(RegRoot::CurrentUser, "Environment", "PATH", c.current, false);
    UseSettings(std::string("[ENVIRTW]\r\nTOTAL=1\r\nA0=PATH\r\nC0=") + c.appended + "\r\nE0=Append\r\nG0=User\r\n");
    SetEnvironmentVariables(session);
    EXPECT_EQ(User("PATH"), c.after);
  }
}

TEST_F(EnvironmentTest, RemoveDeletesAndLogsWhileOffFeaturesAndUnknownScopesChangeNothing) {
  registry.WriteString(RegRoot::CurrentUser, "Environment", "ACME_OLD", "x", false);
  session.host.Features.Add("Tools", kFeatureSkip);
  UseSettings(
      "[ENVIRTW]\r\nTOTAL=3\r\n"
      "A0=ACME_OLD\r\nD0=Remove\r\nF0=Remove\r\nG0=User\r\n"
      "A1=ACME_TOOLS\r\nB1=Tools\r\nC1=on\r\nF1=Remove\r\nG1=User\r\n"
      "A2=ACME_ODD\r\nC2=on\r\nF2=Remove\r\nG2=Machine\r\n");
  SetEnvironmentVariables(session);
  EXPECT_EQ(User("ACME_OLD"), "<missing>");
  EXPECT_EQ(User("ACME_TOOLS"), "<missing>");
  EXPECT_EQ(User("ACME_ODD"), "<missing>");
  EXPECT_EQ(registry.ReadString(RegRoot::LocalMachine, kSystemKey, "ACME_ODD").value_or("<missing>"), "<missing>");
  EXPECT_EQ(Log(), "REGVAL=HKEY_CURRENT_USER\\Environment\\ACME_OLD\r\n");
}

}  // namespace
}  // namespace tw
