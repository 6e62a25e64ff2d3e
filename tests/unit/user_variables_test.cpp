// User variables: each source and its fallback, the wait notice, capacity, and what expansion sees.
#include <gtest/gtest.h>

#include "project/project_settings.h"
#include "project/trace.h"
#include "app/user_variables.h"
#include "platform/fake/fake_platform.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

class UserVariablesTest : public ::testing::Test {
 protected:
  UserVariablesTest() : dialogs(fake.ui, fake.files, trace, languageFile, expand) {}

  // Loads a "[VARIABLES]" section of total entries made of the given key lines.
  void Load(int total, const std::string& keys) {
    ProjectSettings settings("[VARIABLES]\r\nTOTAL=" + std::to_string(total) + "\r\n" + keys);
    LoadUserVariables(settings, fake.platform, expand, dialogs, trace, "setup", variables, notes);
  }
  std::string ValueOf(size_t index) { return index < variables.size() ? variables[index].value : "<missing>"; }

  FakePlatform fake;
  Trace trace;
  std::string languageFile = "C:\\language.lan";
  std::vector<UserVariable> variables;
  std::vector<std::string> notes;
  // Expands like the host: the built-in folder plus whatever variables are in the table so far.
  std::function<std::string(const std::string&)> expand = [this](const std::string& text) {
    PlaceholderValues values;
    values.windowsDir = "C:\\windows";
    values.productName = "Acme";
    return ExpandPlaceholderText(text, values, variables, Expansion::Wizard);
  };
  FixedDialogs dialogs;
};

TEST_F(UserVariablesTest, NowhereTakesTheDefaultAndNotesAreKept) {
  Load(2, "A0=<Edition>\r\nB0=Pro\r\nC0=the edition\r\nD0=Nowhere\r\n"
          "A1=<Empty>\r\nD1=Nowhere\r\n");
  ASSERT_EQ(variables.size(), 2u);
  EXPECT_EQ(variables[0].name, "<Edition>");
  EXPECT_EQ(variables[0].value, "Pro");
  EXPECT_EQ(variables[1].value, "");
  EXPECT_EQ(notes, (std::vector<std::string>{"the edition", ""}));
}

TEST_F(UserVariablesTest, AnUnknownSourceLeavesTheValueEmpty) {
  Load(2, "A0=<a>\r\nB0=default\r\nD0=Retrieve from Web\r\nA1=<b>\r\nB1=default\r\n");
  EXPECT_EQ(ValueOf(0), "") << "only the spelling the designer writes is known";
  EXPECT_EQ(ValueOf(1), "");
  EXPECT_TRUE(fake.http.requests.empty());
}

TEST_F(UserVariablesTest, RegistryReadsTheNamedValue) {
  fake.registry.CreateKey(RegRoot::LocalMachine, "Software\\Acme");
  fake.registry.WriteString(RegRoot::LocalMachine, "Software\\Acme", "Path", "D:\\Acme", false);
  fake.registry.WriteString(RegRoot::LocalMachine, "Software\\Acme", "Blank", "", false);
  const std::string common = "D0=Registry\r\nE0=HKEY_LOCAL_MACHINE\r\nF0=Software\\Acme\r\nB0=none\r\n";
  Load(1, "A0=<v>\r\n" + common + "G0=Path\r\n");
  EXPECT_EQ(ValueOf(0), "D:\\Acme");
  Load(1, "A0=<v>\r\n" + common + "G0=Missing\r\n");
  EXPECT_EQ(ValueOf(0), "none");
  Load(1, "A0=<v>\r\n" + common + "G0=Blank\r\n");
  EXPECT_EQ(ValueOf(0), "none") << "an empty value falls back too";
}

TEST_F(UserVariablesTest, RegistryFallsBackForUnknownRootsMissingAndUnwritableKeys) {
  fake.registry.CreateKey(RegRoot::LocalMachine, "Software\\Acme");
  fake.registry.WriteString(RegRoot::LocalMachine, "Software\\Acme", "Path", "D:\\Acme", false);
  Load(1, "A0=<v>\r\nB0=none\r\nD0=Registry\r\nE0=HKLM\r\nF0=Software\\Acme\r\nG0=Path\r\n");
  EXPECT_EQ(ValueOf(0), "none") << "only full root names are known";
  Load(1, "A0=<v>\r\nB0=none\r\nD0=Registry\r\nE0=HKEY_CURRENT_USER\r\nF0=Software\\Acme\r\nG0=Path\r\n");
  EXPECT_EQ(ValueOf(0), "none");
  fake.registry.Deny(RegRoot::LocalMachine, "Software\\Acme", RegAccess::Write);
  Load(1, "A0=<v>\r\nB0=none\r\nD0=Registry\r\nE0=HKEY_LOCAL_MACHINE\r\nF0=Software\\Acme\r\nG0=Path\r\n");
  EXPECT_EQ(ValueOf(0), "none") << "the key is opened for all access, so a read-only key gives nothing";
}

TEST_F(UserVariablesTest, IniFilesReadAKeyOfAnExistingFile) {
  fake.files.WriteAll("C:\\windows\\acme.ini", "[Main]\r\nEdition=Home\r\nLong=" + std::string(300, 'x') + "\r\n");
  const std::string common = "A0=<v>\r\nB0=none\r\nD0=INI Files\r\nH0=<WindowsFolder>\\acme.ini\r\nI0=Main\r\n";
  Load(1, common + "J0=Edition\r\n");
  EXPECT_EQ(ValueOf(0), "Home") << "the file path is expanded";
  Load(1, common + "J0=Missing\r\n");
  EXPECT_EQ(ValueOf(0), "none");
  Load(1, common + "J0=Long\r\n");
  EXPECT_EQ(ValueOf(0), std::string(kValueBuffer - 1, 'x'));
  Load(1, "A0=<v>\r\nB0=none\r\nD0=INI Files\r\nH0=C:\\nowhere.ini\r\nI0=Main\r\nJ0=Edition\r\n");
  EXPECT_EQ(ValueOf(0), "none");
}

TEST_F(UserVariablesTest, FindFileOrFolderAnswersTrueOrFalse) {
  fake.files.MakeFolders("C:\\Acme\\Plugins");
  fake.files.WriteAll("C:\\Acme\\acme.exe", "");
  Load(5, "A0=<a>\r\nD0=Find File/Folder\r\nL0=C:\\Acme\\*.exe\r\n"
          "A1=<b>\r\nD1=Find File/Folder\r\nL1=C:\\Acme\\Plugins\r\n"
          "A2=<c>\r\nB2=default\r\nD2=Find File/Folder\r\nL2=C:\\Acme\\*.dll\r\n"
          "A3=<d>\r\nD3=Find File/Folder\r\nL3=\r\n"
          "A4=<e>\r\nD4=Find File/Folder\r\nL4=<WindowsFolder>\r\n");
  EXPECT_EQ(ValueOf(0), "TRUE");
  EXPECT_EQ(ValueOf(1), "TRUE") << "folders count";
  EXPECT_EQ(ValueOf(2), "FALSE") << "no fallback for this source";
  EXPECT_EQ(ValueOf(3), "FALSE");
  EXPECT_EQ(ValueOf(4), "TRUE") << "the path is expanded";
}

TEST_F(UserVariablesTest, RetriveFromWebTakesTheFetchedText) {
  fake.http.responses["updates.example.com:80/Acme/latest.txt"] = {200, "2.5"};
  Load(2, "A0=<v>\r\nB0=unknown\r\nD0=Retrive from Web\r\nO0=http://updates.example.com/<ProductName>/latest.txt\r\n"
          "A1=<w>\r\nB1=unknown\r\nD1=Retrive from Web\r\nO1=http://updates.example.com/missing.txt\r\n");
  EXPECT_EQ(ValueOf(0), "2.5");
  EXPECT_EQ(ValueOf(1), "unknown");
  ASSERT_FALSE(fake.http.requests.empty());
  EXPECT_EQ(fake.http.requests[0].agent, "setup");
}

TEST_F(UserVariablesTest, FindWindowLooksForClassAndTitle) {
  fake.ui.windows = {{"AcmeMain", "Acme"}};
  Load(3, "A0=<a>\r\nD0=Find Window\r\nP0=AcmeMain\r\nQ0=<ProductName>\r\n"
          "A1=<b>\r\nB1=x\r\nD1=Find Window\r\nP1=AcmeMain\r\nQ1=Other\r\n"
          "A2=<c>\r\nD2=Find Window\r\nP2=AcmeMain\r\n");
  EXPECT_EQ(ValueOf(0), "TRUE") << "the title is expanded";
  EXPECT_EQ(ValueOf(1), "FALSE");
  EXPECT_EQ(ValueOf(2), "TRUE") << "an empty title is passed as given";
}

TEST_F(UserVariablesTest, TheWaitNoticeShowsOnceForSlowLookupsOnlyAndClosesAtTheEnd) {
  Load(3, "A0=<a>\r\nD0=Find File/Folder\r\nL0=C:\\x\r\n"
          "A1=<b>\r\nD1=Retrive from Web\r\nO1=example.com/x\r\n"
          "A2=<c>\r\nD2=Find File/Folder\r\nL2=C:\\y\r\n");
  EXPECT_EQ(fake.ui.waitNoticeShows, 1);
  EXPECT_FALSE(fake.ui.waitNoticeShown);
  Load(3, "A0=<a>\r\nD0=Nowhere\r\nA1=<b>\r\nD1=Registry\r\nA2=<c>\r\nD2=Find Window\r\n");
  EXPECT_EQ(fake.ui.waitNoticeShows, 1) << "quick sources never show it";
}

TEST_F(UserVariablesTest, TheFiftyFirstVariableIsRefusedAndNeverComputed) {
  std::string keys;
  for (int i = 0; i < 60; ++i) {
    const std::string n = std::to_string(i);
    keys += "A" + n + "=<v" + n + ">\r\nD" + n + "=" + (i < 50 ? "Nowhere" : "Retrive from Web") + "\r\nB" + n +
            "=" + n + "\r\nO" + n + "=example.com/x\r\n";
  }
  Load(60, keys);
  ASSERT_EQ(variables.size(), static_cast<size_t>(kUserVariableCapacity));
  EXPECT_EQ(notes.size(), variables.size());
  EXPECT_EQ(variables.back().name, "<v49>");
  EXPECT_TRUE(fake.http.requests.empty());
  EXPECT_EQ(fake.ui.waitNoticeShows, 0);
}

TEST_F(UserVariablesTest, ALaterVariableMayNameAnEarlierOne) {
  fake.files.MakeFolders("C:\\Acme");
  fake.files.WriteAll("C:\\Acme\\acme.ini", "[Main]\r\nEdition=Home\r\n");
  Load(3, "A0=<Root>\r\nB0=C:\\Acme\r\nD0=Nowhere\r\n"
          "A1=<Edition>\r\nD1=INI Files\r\nH1=<Root>\\acme.ini\r\nI1=Main\r\nJ1=Edition\r\n"
          "A2=<Self>\r\nD2=Find File/Folder\r\nL2=<Self>\r\n");
  EXPECT_EQ(ValueOf(1), "Home");
  EXPECT_EQ(ValueOf(2), "FALSE") << "a variable does not see itself while it is computed";
}

TEST_F(UserVariablesTest, EachValueIsTraced) {
  fake.system.environment["TARNWICK_LOG"] = "C:\\t.log";
  Trace fileTrace(fake.files, fake.system);
  ProjectSettings settings("[VARIABLES]\r\nTOTAL=1\r\nA0=<Edition>\r\nB0=Pro Plus\r\nD0=Nowhere\r\n");
  LoadUserVariables(settings, fake.platform, expand, dialogs, fileTrace, "setup", variables, notes);
  EXPECT_EQ(fake.files.ReadAll("C:\\t.log").value_or(""),
            "variables value name=<Edition> source=Nowhere value=\"Pro Plus\"\n");
}

}  // namespace
}  // namespace tw
