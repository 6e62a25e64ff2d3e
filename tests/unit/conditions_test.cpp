// Conditions: loading, each operator, the numeric reading of operands, actions, and which entry an
// item's condition name picks.
#include <gtest/gtest.h>

#include <cmath>

#include "project/conditions.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/fake/fake_platform.h"

namespace tw {
namespace {

class ConditionsTest : public ::testing::Test {
 protected:
  ConditionsTest() : table(trace) {}

  void AddCondition(const std::string& name, const std::string& left, const std::string& op,
                    const std::string& right, std::vector<std::string> actions = {}, const std::string& page = "") {
    ASSERT_TRUE(table.Add({name, left, op, right, std::move(actions), page}));
  }
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

TEST(ConditionOperators, EqualityComparesTextExactly) {
  EXPECT_TRUE(CompareOperands("Acme", "==", "Acme"));
  EXPECT_FALSE(CompareOperands("Acme", "==", "acme"));
  EXPECT_FALSE(CompareOperands("10", "==", "10.0")) << "== compares text, not numbers";
  EXPECT_TRUE(CompareOperands("10", "!=", "10.0"));
  EXPECT_FALSE(CompareOperands("x", "!=", "x"));
}

TEST(ConditionOperators, OrderingComparesLeadingNumbers) {
  EXPECT_TRUE(CompareOperands("10", ">", "9")) << "numeric, not text order";
  EXPECT_TRUE(CompareOperands("9", "<", "10"));
  EXPECT_FALSE(CompareOperands("10", "<", "10"));
  EXPECT_TRUE(CompareOperands("10", ">=", "10.0"));
  EXPECT_FALSE(CompareOperands("9.99", ">=", "10"));
  EXPECT_TRUE(CompareOperands("10", "=<", "10"));
  EXPECT_FALSE(CompareOperands("3", "=<", "2"));
  EXPECT_TRUE(CompareOperands("abc", ">=", "0")) << "a text without a number reads as 0";
  for (const char* op : {"<=", "=>", "", "= ="}) EXPECT_FALSE(CompareOperands("1", op, "1")) << op;
}

TEST(LeadingNumberTest, ReadsOnlyTheDecimalNumberATextStartsWith) {
  const std::pair<const char*, double> cases[] = {
      {"42", 42},      {"  \t-2.5 MB", -2.5}, {"+7x", 7},   {".5", 0.5},  {"5.", 5},   {"1.5e3", 1500},
      {"2E-1", 0.2},   {"5.1.2600", 5.1},     {"3e", 3},    {"3e+", 3},   {"", 0},     {"abc", 0},
      {"-", 0},        {".", 0},              {"e5", 0},    {" x1", 0},
      // Spellings the runtime's reader might take would make results depend on the library.
      {"0x10", 0},     {"inf", 0},            {"nan", 0}};
  for (const auto& [text, number] : cases) EXPECT_EQ(LeadingNumber(text), number) << text;
}

TEST(LeadingNumberTest, OutOfRangeMagnitudesSaturate) {
  EXPECT_EQ(LeadingNumber("1e999"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("-1e999"), -HUGE_VAL);
  EXPECT_EQ(LeadingNumber("1e99999999999999999999999999"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("1e-999"), 0.0);
  EXPECT_EQ(LeadingNumber("0.000e999999"), 0.0);
  EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1e50"), 0.0);
}

TEST_F(ConditionsTest, OperandsAreExpandedAtEachEvaluationAndActionsRunWhenItHolds) {
  AddCondition("c", "<Version>", ">=", "2.5", {"one", "two"});
  EXPECT_FALSE(table.EvaluateCondition(0, expand, runAction)) << "an unknown variable stays as written";
  EXPECT_TRUE(ran.empty());
  variables.push_back({"<Version>", "3.0"});
  EXPECT_TRUE(table.EvaluateCondition(0, expand, runAction));
  EXPECT_EQ(ran, (std::vector<std::string>{"one", "two"}));
  EXPECT_FALSE(table.EvaluateCondition(1, expand, runAction));
  EXPECT_FALSE(table.EvaluateCondition(-1, expand, runAction));
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

TEST_F(ConditionsTest, PageConditionsRunInTableOrderEveryTimeTheirPageIsReached) {
  AddCondition("a", "1", "==", "1", {"a"}, "ready.lcd");
  AddCondition("b", "1", "==", "1", {"b"}, "welcome.lcd");
  AddCondition("c", "1", "==", "1", {"c"}, "ready.lcd");
  AddCondition("d", "1", "==", "1", {"d"}, "");
  AddCondition("e", "1", "==", "1", {"e"}, "Ready.lcd");
  table.RunPageConditions("ready.lcd", expand, runAction);
  table.RunPageConditions("ready.lcd", expand, runAction);
  table.RunPageConditions("", expand, runAction);
  EXPECT_EQ(ran, (std::vector<std::string>{"a", "c", "a", "c"}));
}

TEST_F(ConditionsTest, LoadsEveryFieldAndTheNestedActionKeys) {
  table.LoadConditions(ProjectSettings(
      "[CONDITIONS]\r\nTOTAL=2\r\n"
      "A0=Small\r\nB0=<Disk>\r\nC0=<\r\nD0=100\r\nE0=ready.lcd\r\nF0=2\r\n"
      "00=ShowMessage(Disk too small);\r\n01=CancelInstall();\r\n"
      "A1=Other\r\nC1===\r\nF1=1\r\n10=ShowMessage(b);\r\n"));
  ASSERT_EQ(table.Count(), 2);
  const Condition& first = table.Entries()[0];
  EXPECT_EQ(first.Name + "|" + first.Left + "|" + first.Operator + "|" + first.Right + "|" + first.Page,
            "Small|<Disk>|<|100|ready.lcd");
  EXPECT_EQ(first.Actions, (std::vector<std::string>{"ShowMessage(Disk too small);", "CancelInstall();"}));
  EXPECT_EQ(table.Entries()[1].Operator, "==");
  EXPECT_EQ(table.Entries()[1].Actions, std::vector<std::string>{"ShowMessage(b);"});
}

TEST_F(ConditionsTest, CapacitiesAreEnforcedByRefusal) {
  std::string text = "[CONDITIONS]\r\nTOTAL=40\r\nF0=2147483647\r\n";
  for (int i = 0; i < 40; ++i) text += "A" + std::to_string(i) + "=c" + std::to_string(i) + "\r\n";
  table.LoadConditions(ProjectSettings(text));
  ASSERT_EQ(table.Count(), ConditionTable::kCapacity);
  EXPECT_EQ(table.Entries().back().Name, "c29");
  EXPECT_FALSE(table.Add(Condition{}));
  EXPECT_EQ(table.Count(), ConditionTable::kCapacity);
  EXPECT_EQ(table.Entries()[0].Actions.size(), static_cast<size_t>(ConditionTable::kMaxActions));
}

TEST_F(ConditionsTest, EvaluationsAreTracedWithTheirExpandedOperands) {
  FakePlatform fake;
  fake.system.environment["TARNWICK_LOG"] = "C:\\t.log";
  Trace fileTrace(fake.files, fake.system);
  ConditionTable traced(fileTrace);
  traced.Add({"Is Acme", "<ProductName>", "==", "Acme", {}, ""});
  traced.EvaluateCondition(0, expand, runAction);
  EXPECT_EQ(fake.files.ReadAll("C:\\t.log").value_or(""),
            "conditions evaluate name=\"Is Acme\" left=Acme op=\"==\" right=Acme result=true\n");
}

class RecordingHost : public ActionHost {
 public:
  void Abort() override { ++aborts; }
  void ShowInfo(const std::string& text) override { shown.push_back(text); }
  int aborts = 0;
  std::vector<std::string> shown;
};

TEST(RunActionTest, CancelInstallMustBeExactAndOtherCommandsAreIgnored) {
  RecordingHost host;
  for (const char* command : {"CancelInstall();", "CancelInstall()", "cancelinstall();", " CancelInstall();", "",
                              "showmessage(x);", "Beep();"})
    RunAction(command, host);
  EXPECT_EQ(host.aborts, 1);
  EXPECT_TRUE(host.shown.empty());
}

TEST(RunActionTest, ShowMessageShowsWhatFollowsTheParenthesisLessTwoCharacters) {
  RecordingHost host;
  for (const char* command : {"ShowMessage(Disk too small);", "ShowMessage(a (b) c);", "Please ShowMessage(x)!!",
                              "ShowMessage;;", "ShowMessage(", "ShowMessage(x", "ShowMessage(xyz"})
    RunAction(command, host);
  EXPECT_EQ(host.shown, (std::vector<std::string>{"Disk too small", "a (b) c", "x)", "ShowMessage", "", "", "x"}));
  EXPECT_EQ(host.aborts, 0);
}

}  // namespace
}  // namespace tw
