// Conditions: loading, each operator, the numeric reading of operands, actions, and which entry an
// item's condition name picks.
#include <gtest/gtest.h>

#include <cmath>

#include "app/conditions.h"
#include "app/placeholders.h"
#include "app/project_settings.h"
#include "app/trace.h"
#include "platform/fake/fake_platform.h"

namespace tw {
namespace {

class RecordingHost : public ActionHost {
 public:
  void Abort() override { ++aborts; }
  void ShowInfo(const std::string& text) override { shown.push_back(text); }
  int aborts = 0;
  std::vector<std::string> shown;
};

class ConditionsTest : public ::testing::Test {
 protected:
  ConditionsTest() : table(trace) {}

  // One condition; actions become a list that records what ran.
  void AddCondition(const std::string& name, const std::string& left, const std::string& op,
                    const std::string& right, std::vector<std::string> actions = {},
                    const std::string& page = "") {
    Condition condition;
    condition.Name = name;
    condition.Left = left;
    condition.Operator = op;
    condition.Right = right;
    condition.Actions = std::move(actions);
    condition.Page = page;
    ASSERT_TRUE(table.Add(condition));
  }
  bool Evaluate(int index) { return table.EvaluateCondition(index, expand, runAction); }
  bool Allows(const std::string& name) { return table.ConditionAllows(name, expand, runAction); }

  std::vector<UserVariable> variables;
  ConditionTable::Expander expand = [this](const std::string& text) {
    PlaceholderValues values;
    values.productName = "Acme";
    return ExpandPlaceholderText(text, values, variables, Expansion::Wizard);
  };
  std::vector<std::string> ran;
  ConditionTable::ActionRunner runAction = [this](const std::string& action) { ran.push_back(action); };
  Trace trace;
  ConditionTable table;
};

TEST(ConditionOperators, TextEqualityIsExactAndCaseSensitive) {
  EXPECT_TRUE(CompareOperands("Acme", "==", "Acme"));
  EXPECT_FALSE(CompareOperands("Acme", "==", "acme"));
  EXPECT_FALSE(CompareOperands("10", "==", "10.0")) << "== compares text, not numbers";
  EXPECT_TRUE(CompareOperands("10", "!=", "10.0"));
  EXPECT_FALSE(CompareOperands("x", "!=", "x"));
  EXPECT_TRUE(CompareOperands("", "==", ""));
}

TEST(ConditionOperators, OrderingOperatorsCompareNumbers) {
  EXPECT_TRUE(CompareOperands("10", ">", "9")) << "numeric, not text order";
  EXPECT_FALSE(CompareOperands("9", ">", "10"));
  EXPECT_TRUE(CompareOperands("9", "<", "10"));
  EXPECT_FALSE(CompareOperands("10", "<", "10"));
  EXPECT_TRUE(CompareOperands("10", ">=", "10.0"));
  EXPECT_FALSE(CompareOperands("9.99", ">=", "10"));
  EXPECT_TRUE(CompareOperands("10", "=<", "10"));
  EXPECT_TRUE(CompareOperands("-3", "=<", "2"));
  EXPECT_FALSE(CompareOperands("3", "=<", "2"));
  EXPECT_TRUE(CompareOperands("abc", ">=", "0")) << "a text without a number reads as 0";
}

TEST(ConditionOperators, UnknownOperatorsAreFalse) {
  EXPECT_FALSE(CompareOperands("1", "<=", "2")) << "less-or-equal is spelled =<";
  EXPECT_FALSE(CompareOperands("1", "", "1"));
  EXPECT_FALSE(CompareOperands("1", "= =", "1"));
  EXPECT_FALSE(CompareOperands("2", "=>", "1"));
}

TEST(LeadingNumberTest, ReadsTheNumberATextStartsWith) {
  EXPECT_EQ(LeadingNumber("42"), 42.0);
  EXPECT_EQ(LeadingNumber("  \t-2.5 MB"), -2.5);
  EXPECT_EQ(LeadingNumber("+7x"), 7.0);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("5."), 5.0);
  EXPECT_EQ(LeadingNumber("1.5e3"), 1500.0);
  EXPECT_EQ(LeadingNumber("2E-1"), 0.2);
  EXPECT_EQ(LeadingNumber("5.1.2600"), 5.1) << "a version text reads as its first two parts";
}

TEST(LeadingNumberTest, ANumberlessTextIsZero) {
  for (const char* text : {"", "abc", "-", ".", "+.", "e5", " x1"}) EXPECT_EQ(LeadingNumber(text), 0.0) << text;
}

TEST(LeadingNumberTest, AnIncompleteExponentIsLeftOut) {
  EXPECT_EQ(LeadingNumber("3e"), 3.0);
  EXPECT_EQ(LeadingNumber("3e+"), 3.0);
  EXPECT_EQ(LeadingNumber("3E-x"), 3.0);
}

TEST(LeadingNumberTest, RunTimeSpellingsOfOtherNumbersAreNotNumbers) {
  // Hex floats, infinities and NaN would make comparisons depend on the runtime library.
  EXPECT_EQ(LeadingNumber("0x10"), 0.0);
  EXPECT_EQ(LeadingNumber("inf"), 0.0);
  EXPECT_EQ(LeadingNumber("nan"), 0.0);
}

TEST(LeadingNumberTest, OutOfRangeMagnitudesSaturate) {
  EXPECT_EQ(LeadingNumber("1e999"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("-1e999"), -HUGE_VAL);
  EXPECT_EQ(LeadingNumber("1e99999999999999999999999999"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("1e-999"), 0.0);
  EXPECT_EQ(LeadingNumber("0.000e999999"), 0.0);
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1e50"), 0.0);
  EXPECT_TRUE(CompareOperands("1e999", ">", "1e308"));
}

TEST_F(ConditionsTest, OperandsAreExpandedAtEachEvaluation) {
  AddCondition("c", "<Version>", ">=", "2.5");
  EXPECT_FALSE(Evaluate(0)) << "an unknown variable stays as written and reads as 0";
  variables.push_back({"<Version>", "3.0"});
  EXPECT_TRUE(Evaluate(0));
  variables[0].value = "2.4";
  EXPECT_FALSE(Evaluate(0));
}

TEST_F(ConditionsTest, AHoldingConditionRunsItsActionsInOrder) {
  AddCondition("c", "<ProductName>", "==", "Acme", {"ShowMessage(one);", "ShowMessage(two);"});
  EXPECT_TRUE(Evaluate(0));
  EXPECT_EQ(ran, (std::vector<std::string>{"ShowMessage(one);", "ShowMessage(two);"}));
  ran.clear();
  AddCondition("d", "a", "==", "b", {"ShowMessage(never);"});
  EXPECT_FALSE(Evaluate(1));
  EXPECT_TRUE(ran.empty());
}

TEST_F(ConditionsTest, AnIndexOutsideTheTableIsFalse) {
  AddCondition("c", "1", "==", "1", {"x"});
  EXPECT_FALSE(Evaluate(-1));
  EXPECT_FALSE(Evaluate(1));
  EXPECT_TRUE(ran.empty());
}

TEST_F(ConditionsTest, ItemsUseTheLastConditionOfAName) {
  AddCondition("Big", "1", "==", "1", {"first"});
  AddCondition("Big", "1", "==", "2", {"second"});
  EXPECT_FALSE(Allows("Big"));
  EXPECT_TRUE(ran.empty()) << "the earlier entry is never evaluated";
}

TEST_F(ConditionsTest, NoConditionEmptyOrUnknownNamesAllow) {
  EXPECT_TRUE(Allows("Anything")) << "an empty table allows everything";
  AddCondition("Never", "1", "==", "2");
  EXPECT_TRUE(Allows(""));
  EXPECT_TRUE(Allows(kNoCondition));
  EXPECT_TRUE(Allows("never")) << "names match exactly";
  EXPECT_FALSE(Allows("Never"));
}

TEST_F(ConditionsTest, AskingWhetherAnItemMayRunAlsoRunsTheActions) {
  AddCondition("Xp", "1", "==", "1", {"ShowMessage(hi);"});
  EXPECT_TRUE(Allows("Xp"));
  EXPECT_TRUE(Allows("Xp"));
  EXPECT_EQ(ran.size(), 2u);
}

TEST_F(ConditionsTest, PageConditionsRunInTableOrderEveryTimeTheirPageIsReached) {
  AddCondition("a", "1", "==", "1", {"a"}, "ready.lcd");
  AddCondition("b", "1", "==", "1", {"b"}, "welcome.lcd");
  AddCondition("c", "1", "==", "1", {"c"}, "ready.lcd");
  AddCondition("d", "1", "==", "1", {"d"}, "");
  AddCondition("e", "1", "==", "1", {"e"}, "Ready.lcd");
  table.RunPageConditions("ready.lcd", expand, runAction);
  table.RunPageConditions("ready.lcd", expand, runAction);
  EXPECT_EQ(ran, (std::vector<std::string>{"a", "c", "a", "c"}));
  ran.clear();
  table.RunPageConditions("", expand, runAction);
  EXPECT_TRUE(ran.empty()) << "an empty page is never reached";
}

TEST_F(ConditionsTest, FinishConditionsRunUnderTheirOwnPageName) {
  AddCondition("f", "1", "==", "1", {"done"}, kAfterFinishPage);
  table.RunPageConditions("After Click Finish Button", expand, runAction);
  EXPECT_EQ(ran, std::vector<std::string>{"done"});
}

TEST_F(ConditionsTest, LoadsEveryFieldAndTheNestedActionKeys) {
  ProjectSettings settings(
      "[CONDITIONS]\r\nTOTAL=2\r\n"
      "A0=Small\r\nB0=<Disk>\r\nC0=<\r\nD0=100\r\nE0=ready.lcd\r\nF0=2\r\n"
      "00=ShowMessage(Disk too small);\r\n01=CancelInstall();\r\n"
      "A1=Other\r\nB1=x\r\nC1===\r\nD1=x\r\nF1=1\r\n10=ShowMessage(b);\r\n");
  table.LoadConditions(settings);
  ASSERT_EQ(table.Count(), 2);
  const Condition& first = table.Entries()[0];
  EXPECT_EQ(first.Name, "Small");
  EXPECT_EQ(first.Left, "<Disk>") << "operands are stored unexpanded";
  EXPECT_EQ(first.Operator, "<");
  EXPECT_EQ(first.Right, "100");
  EXPECT_EQ(first.Page, "ready.lcd");
  EXPECT_EQ(first.Actions, (std::vector<std::string>{"ShowMessage(Disk too small);", "CancelInstall();"}));
  EXPECT_EQ(first.Done, 0);
  EXPECT_EQ(table.Entries()[1].Operator, "==");
  EXPECT_EQ(table.Entries()[1].Actions, std::vector<std::string>{"ShowMessage(b);"});
}

TEST_F(ConditionsTest, LoadingAgainReplacesTheTable) {
  table.LoadConditions(ProjectSettings("[CONDITIONS]\r\nTOTAL=1\r\nA0=a\r\n"));
  table.LoadConditions(ProjectSettings("[CONDITIONS]\r\nTOTAL=1\r\nA0=b\r\n"));
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.Entries()[0].Name, "b");
}

TEST_F(ConditionsTest, TheThirtyFirstConditionIsRefused) {
  std::string text = "[CONDITIONS]\r\nTOTAL=40\r\n";
  for (int i = 0; i < 40; ++i) text += "A" + std::to_string(i) + "=c" + std::to_string(i) + "\r\n";
  table.LoadConditions(ProjectSettings(text));
  ASSERT_EQ(table.Count(), ConditionTable::kCapacity);
  EXPECT_EQ(table.Entries().back().Name, "c29");
  EXPECT_FALSE(table.Add(Condition{}));
  EXPECT_EQ(table.Count(), ConditionTable::kCapacity);
}

TEST_F(ConditionsTest, AHugeActionCountIsBounded) {
  table.LoadConditions(ProjectSettings("[CONDITIONS]\r\nTOTAL=1\r\nA0=a\r\nF0=2147483647\r\n00=first\r\n"));
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.Entries()[0].Actions.size(), static_cast<size_t>(ConditionTable::kMaxActions));
  EXPECT_EQ(table.Entries()[0].Actions[0], "first");
}

TEST_F(ConditionsTest, EvaluationsAreTracedWithTheirExpandedOperands) {
  FakePlatform fake;
  fake.system.environment["TARNWICK_LOG"] = "C:\\t.log";
  Trace fileTrace(fake.files, fake.system);
  ConditionTable traced(fileTrace);
  Condition condition;
  condition.Name = "Is Acme";
  condition.Left = "<ProductName>";
  condition.Operator = "==";
  condition.Right = "Acme";
  traced.Add(condition);
  traced.EvaluateCondition(0, expand, runAction);
  EXPECT_EQ(fake.files.ReadAll("C:\\t.log").value_or(""),
            "conditions evaluate name=\"Is Acme\" left=Acme op=\"==\" right=Acme result=true\n");
}

TEST(RunActionTest, CancelInstallMustBeExact) {
  RecordingHost host;
  RunAction("CancelInstall();", host);
  EXPECT_EQ(host.aborts, 1);
  RunAction("CancelInstall()", host);
  RunAction("cancelinstall();", host);
  RunAction(" CancelInstall();", host);
  EXPECT_EQ(host.aborts, 1);
  EXPECT_TRUE(host.shown.empty());
}

TEST(RunActionTest, ShowMessageShowsTheTextInsideItsParentheses) {
  RecordingHost host;
  RunAction("ShowMessage(Disk too small);", host);
  RunAction("ShowMessage(a (b) c);", host);
  RunAction("Please ShowMessage(x)!!", host);
  EXPECT_EQ(host.shown, (std::vector<std::string>{"Disk too small", "a (b) c", "x)"}));
  EXPECT_EQ(host.aborts, 0);
}

TEST(RunActionTest, ShowMessageWithoutParenthesesDropsTheLastTwoCharacters) {
  RecordingHost host;
  RunAction("ShowMessage;;", host);
  EXPECT_EQ(host.shown, std::vector<std::string>{"ShowMessage"});
  EXPECT_EQ(ShowMessageText("ShowMessage("), "") << "nothing after the parenthesis";
  EXPECT_EQ(ShowMessageText("ShowMessage(x"), "");
  EXPECT_EQ(ShowMessageText("ShowMessage(xy"), "");
  EXPECT_EQ(ShowMessageText("ShowMessage(xyz"), "x");
}

TEST(RunActionTest, OtherCommandsAreIgnored) {
  RecordingHost host;
  for (const char* command : {"", "showmessage(x);", "Beep();", "RunProgram(a.exe);"}) RunAction(command, host);
  EXPECT_EQ(host.aborts, 0);
  EXPECT_TRUE(host.shown.empty());
}

}  // namespace
}  // namespace tw
