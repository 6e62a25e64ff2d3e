// Placeholder expansion: table order, the bracket rule, user variables and the backslash fold.
#include <gtest/gtest.h>

#include "project/placeholders.h"

namespace tw {
namespace {

PlaceholderValues Values() {
  PlaceholderValues v;
  v.programFilesDir = "C:\\Program Files";
  v.installDir = "C:\\Program Files\\Acme\\";
  v.productName = "Acme Writer";
  v.publisher = "Acme";
  v.userName = "ann";
  v.tempDir = "C:\\Temp\\";
  return v;
}

std::string Wizard(const std::string& text, const std::vector<UserVariable>& variables = {}) {
  return ExpandPlaceholderText(text, Values(), variables, Expansion::Wizard);
}

TEST(Placeholders, InstallFolderAndTheDoubledBackslash) {
  EXPECT_EQ(Wizard("<InstallDir>setup.log"), "C:\\Program Files\\Acme\\setup.log");
  EXPECT_EQ(Wizard("<InstallDir>\\setup.log"), "C:\\Program Files\\Acme\\setup.log");
  EXPECT_EQ(Wizard("<Install Dir>x"), "C:\\Program Files\\Acme\\x");
  EXPECT_EQ(Wizard("<TempFolder>\\tw1"), "C:\\Temp\\tw1");
}

TEST(Placeholders, BracketsCountOnlyBesideAnAngleBracket) {
  EXPECT_EQ(Wizard("[ProductName] <Publisher>"), "Acme Writer Acme");
  EXPECT_EQ(Wizard("[ProductName]"), "[ProductName]");
  EXPECT_EQ(ExpandPlaceholderText("[ProductName] <Publisher>", Values(), {}, Expansion::Install),
            "[ProductName] Acme");
}

TEST(Placeholders, NamesMatchExactly) {
  EXPECT_EQ(Wizard("<username>"), "<username>");
  EXPECT_EQ(Wizard("<USERNAME>/<UserName>"), "ann/ann");
  EXPECT_EQ(ExpandPlaceholderText("<USERNAME>", Values(), {}, Expansion::Install), "<USERNAME>");
}

TEST(Placeholders, FoldingIsOnePassAndOnlyWithAngleBrackets) {
  EXPECT_EQ(Wizard("a\\\\\\b<X>"), "a\\\\b<X>") << "three backslashes become two";
  EXPECT_EQ(Wizard("a\\\\\\\\b<X>"), "a\\\\b<X>") << "four become two";
  EXPECT_EQ(Wizard("\\\\server\\share\\<ProductName>"), "\\server\\share\\Acme Writer");
  EXPECT_EQ(Wizard("\\\\server\\share"), "\\\\server\\share");
}

TEST(Placeholders, RowsApplyInTableOrderWithoutRescanningTheirOwnText) {
  PlaceholderValues v = Values();
  v.productName = "<ProductName>!";
  EXPECT_EQ(ExpandPlaceholderText("<ProductName>", v, {}, Expansion::Wizard), "<ProductName>!");
  v.productName = "<Publisher>";
  EXPECT_EQ(ExpandPlaceholderText("<ProductName>", v, {}, Expansion::Wizard), "Acme")
      << "a later row sees what an earlier row inserted";
  v.publisher = "<ProductName>";
  EXPECT_EQ(ExpandPlaceholderText("<Publisher>", v, {}, Expansion::Wizard), "<ProductName>")
      << "an earlier row does not see what a later row inserted";
}

TEST(Placeholders, UserVariablesComeAfterTheTable) {
  std::vector<UserVariable> variables = {{"<ProductName>", "shadowed"}, {"<Version>", "2.0"}, {"", "empty"}};
  EXPECT_EQ(Wizard("<ProductName> <Version>", variables), "Acme Writer 2.0")
      << "a variable named like a built-in never sees its placeholder";
}

TEST(Placeholders, VariablesNamingEachOtherCannotGrowATextWithoutEnd) {
  // Each value names the next variable twice: unbounded, the text would double fifty times.
  std::vector<UserVariable> variables;
  for (int i = 0; i < 50; ++i)
    variables.push_back({"<v" + std::to_string(i) + ">", "<v" + std::to_string(i + 1) + "><v" + std::to_string(i + 1) + ">"});
  const std::string text = Wizard("<v0>", variables);
  EXPECT_LE(text.size(), kMaxExpandedText);
  EXPECT_GT(text.size(), kMaxExpandedText / 2) << "the variables apply until the next one would pass the limit";
}

InstallPlaceholderCopy InstallCopy(const std::string& chosen) {
  InstallPlaceholderCopy copy{Values(), {{"<Edition>", "Pro"}}, "C:\\Program Files\\Acme\\"};
  copy.values.installDir = chosen;
  return copy;
}

TEST(InstallPlaceholders, PathsUnderTheDefaultFolderFollowTheChosenOne) {
  EXPECT_EQ(ExpandInstallPlaceholders("C:\\Program Files\\Acme\\bin\\a.exe", InstallCopy("D:\\Apps\\")),
            "D:\\Apps\\\\bin\\a.exe") << "re-rooting runs even without angle brackets, after the fold";
  EXPECT_EQ(ExpandInstallPlaceholders("<InstallDir>\\x <Edition>", InstallCopy("D:\\Apps\\")), "D:\\Apps\\x Pro");
  EXPECT_EQ(ExpandPlaceholderText("C:\\Program Files\\Acme\\bin", Values(), {}, Expansion::Wizard),
            "C:\\Program Files\\Acme\\bin") << "the wizard never re-roots";
}

TEST(InstallPlaceholders, ReRootingNeedsADifferentRealChoice) {
  const std::string path = "C:\\Program Files\\Acme\\a.exe";
  EXPECT_EQ(ExpandInstallPlaceholders(path, InstallCopy("C:\\Program Files\\Acme\\")), path);
  EXPECT_EQ(ExpandInstallPlaceholders(path, InstallCopy("\\")), path);
  InstallPlaceholderCopy noDefault = InstallCopy("D:\\Apps\\");
  noDefault.defaultInstallDir.clear();
  EXPECT_EQ(ExpandInstallPlaceholders(path, noDefault), path);
}

TEST(InstallPlaceholders, SiblingFoldersStayWhereTheyAre) {
  EXPECT_EQ(ExpandInstallPlaceholders("C:\\Program Files\\AcmeTools\\t.exe", InstallCopy("D:\\Apps\\")),
            "C:\\Program Files\\AcmeTools\\t.exe");
  EXPECT_EQ(ExpandInstallPlaceholders("\"C:\\Program Files\\Acme\" /s", InstallCopy("D:\\Apps\\")),
            "\"D:\\Apps\\\" /s");
}

}  // namespace
}  // namespace tw
