// Named conditions: two expanded texts compared on a page's arrival, at Finish, or whenever an item
// names the condition; when the comparison holds, its actions cancel the setup or show a message.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tw {

class ProjectSettings;
class Trace;

// The page name of conditions that run when the Finish button is pressed.
extern const char* const kAfterFinishPage;
// The condition name an item carries when it has none.
extern const char* const kNoCondition;

struct Condition {
  std::string Name;
  std::string Left;      // expanded at each evaluation
  std::string Operator;  // "==", "!=", ">", "<", ">=", "=<"
  std::string Right;     // expanded at each evaluation
  std::vector<std::string> Actions;
  std::string Page;      // layout file ("ready.lcd"), kAfterFinishPage, or empty
  int Done = 0;          // never set by evaluation: a condition runs each time its page is reached
};

// What a condition's actions can do to the setup that runs them.
class ActionHost {
 public:
  virtual ~ActionHost() = default;
  // "CancelInstall();": end the setup as cancelled.
  virtual void Abort() = 0;
  // "ShowMessage(...)": the information message.
  virtual void ShowInfo(const std::string& text) = 0;
};

// Runs one action command; commands it does not know are ignored.
void RunAction(const std::string& command, ActionHost& host);
// What a "ShowMessage" command shows: the text after its first "(" (or the whole command when it
// has none) less its last two characters, which are normally ");".
std::string ShowMessageText(const std::string& command);

// The number a text starts with, as the numeric operators read it: leading white space, a sign,
// decimal digits with an optional point and exponent; 0 when there is none. Never depends on the
// locale; a magnitude too large for a double reads as infinity, one too small as 0.
double LeadingNumber(const std::string& text);
// One comparison of already expanded texts; an unknown operator (such as "<=") is false.
bool CompareOperands(const std::string& left, const std::string& op, const std::string& right);

class ConditionTable {
 public:
  using Expander = std::function<std::string(const std::string&)>;
  using ActionRunner = std::function<void(const std::string&)>;

  static constexpr int kCapacity = 30;
  // Bounds the work a hostile action count can cause; no real project comes near it.
  static constexpr int kMaxActions = 100;

  explicit ConditionTable(Trace& trace) : trace_(&trace) {}

  // Replaces the table with the "CONDITIONS" section; entries past the capacity are refused.
  void LoadConditions(const ProjectSettings& settings);
  // Appends one entry; false (and nothing stored) when the table is full.
  bool Add(Condition condition);

  // Expands and compares entry index; when the comparison holds, runs its actions in order and
  // returns true. An index outside the table is false.
  bool EvaluateCondition(int index, const Expander& expand, const ActionRunner& runAction) const;
  // Whether an item naming this condition may go ahead: true for "No Condition", an empty name, or
  // a name not in the table; otherwise the evaluation of the last entry with that name.
  bool ConditionAllows(const std::string& name, const Expander& expand, const ActionRunner& runAction) const;
  // Evaluates, in table order, every entry attached to pageFile.
  void RunPageConditions(const std::string& pageFile, const Expander& expand, const ActionRunner& runAction) const;

  const std::vector<Condition>& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  Trace* trace_;
  std::vector<Condition> entries_;
};

}  // namespace tw
