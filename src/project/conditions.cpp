#include "project/conditions.h"

#include <charconv>
#include <cmath>

#include "project/project_settings.h"
#include "project/trace.h"

namespace tw {

const char* const kAfterFinishPage = "After Click Finish Button";
const char* const kNoCondition = "No Condition";

namespace {

const char* const kSection = "CONDITIONS";
const char* const kCancelCommand = "CancelInstall();";
const char* const kShowMessageWord = "ShowMessage";

// Far beyond any double's range; stops a long run of exponent digits from overflowing.
constexpr long long kExponentLimit = 100000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The C locale's white space, as the runtime's number reader skips it.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

size_t SkipDigits(const std::string& text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// The power of ten of the first significant digit of digits [begin, end) with the point at pointAt
// (1 for "5", 0 for ".5", -1 for ".05"); nothing when every digit is zero.
bool LeadingOrder(const std::string& text, size_t begin, size_t pointAt, size_t end, long long& order) {
  long long position = static_cast<long long>(pointAt - begin);
  for (size_t i = begin; i < end; ++i) {
    if (text[i] == '.') continue;
    if (text[i] != '0') {
      order = position;
      return true;
    }
    --position;
  }
  return false;
}

}  // namespace

double LeadingNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  const size_t begin = i;
  i = SkipDigits(text, i);
  const size_t pointAt = i;
  size_t digitCount = i - begin;
  if (i < text.size() && text[i] == '.') {
    size_t fractionEnd = SkipDigits(text, i + 1);
    digitCount += fractionEnd - i - 1;
    i = fractionEnd;
  }
  if (digitCount == 0) return 0.0;
  const size_t mantissaEnd = i;

  // An exponent counts only when at least one digit follows the "e" and its sign.
  long long exponent = 0;
  size_t end = mantissaEnd;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j)
        if (exponent < kExponentLimit) exponent = exponent * 10 + (text[j] - '0');
      if (negativeExponent) exponent = -exponent;
      end = j;
    }
  }

  double value = 0.0;
  auto result = std::from_chars(text.data() + begin, text.data() + end, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    long long order = 0;
    bool significant = LeadingOrder(text, begin, pointAt, mantissaEnd, order);
    value = significant && order + exponent > 0 ? HUGE_VAL : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

bool CompareOperands(const std::string& left, const std::string& op, const std::string& right) {
  if (op == "==") return left == right;
  if (op == "!=") return left != right;
  const bool numeric = op == ">" || op == "<" || op == ">=" || op == "=<";
  if (!numeric) return false;
  const double a = LeadingNumber(left);
  const double b = LeadingNumber(right);
  if (op == ">") return a > b;
  if (op == "<") return a < b;
  if (op == ">=") return a >= b;
  return a <= b;  // "=<"
}

std::string ShowMessageText(const std::string& command) {
  size_t open = command.find('(');
  std::string text = open == std::string::npos ? command : command.substr(open + 1);
  return text.size() >= 2 ? text.substr(0, text.size() - 2) : std::string();
}

void RunAction(const std::string& command, ActionHost& host) {
  if (command == kCancelCommand) {
    host.Abort();
  } else if (command.find(kShowMessageWord) != std::string::npos) {
    host.ShowInfo(ShowMessageText(command));
  }
}

bool ConditionTable::Add(Condition condition) {
  if (Count() >= kCapacity) return false;
  entries_.push_back(std::move(condition));
  return true;
}

void ConditionTable::LoadConditions(const ProjectSettings& settings) {
  entries_.clear();
  const int total = settings.ReadCount(kSection);
  for (int i = 0; i < total; ++i) {
    if (Count() >= kCapacity) {
      trace_->Write("conditions", "refused",
                    {{"index", std::to_string(i)}, {"total", std::to_string(total)},
                     {"capacity", std::to_string(kCapacity)}});
      break;
    }
    const std::string n = std::to_string(i);
    Condition condition;
    condition.Name = settings.ReadSetting(kSection, "A" + n);
    condition.Left = settings.ReadSetting(kSection, "B" + n);
    condition.Operator = settings.ReadSetting(kSection, "C" + n);
    condition.Right = settings.ReadSetting(kSection, "D" + n);
    condition.Page = settings.ReadSetting(kSection, "E" + n);
    const int actionCount = ToNumber(settings.ReadSetting(kSection, "F" + n));
    if (actionCount > kMaxActions)
      trace_->Write("conditions", "actions-cut",
                    {{"name", condition.Name}, {"count", std::to_string(actionCount)},
                     {"kept", std::to_string(kMaxActions)}});
    for (int j = 0; j < actionCount && j < kMaxActions; ++j)
      condition.Actions.push_back(settings.ReadSetting(kSection, n + std::to_string(j)));
    trace_->Write("conditions", "load",
                  {{"name", condition.Name}, {"page", condition.Page},
                   {"actions", std::to_string(condition.Actions.size())}});
    entries_.push_back(std::move(condition));
  }
}

bool ConditionTable::EvaluateCondition(int index, const Expander& expand, const ActionRunner& runAction) const {
  if (index < 0 || index >= Count()) return false;
  const Condition& condition = entries_[static_cast<size_t>(index)];
  const std::string left = expand(condition.Left);
  const std::string right = expand(condition.Right);
  const bool holds = CompareOperands(left, condition.Operator, right);
  trace_->Write("conditions", "evaluate",
                {{"name", condition.Name}, {"left", left}, {"op", condition.Operator}, {"right", right},
                 {"result", holds ? "true" : "false"}});
  if (!holds) return false;
  // Copied first: an action reaches back into the host, which must be free to reload this table.
  const std::vector<std::string> actions = condition.Actions;
  for (const std::string& action : actions) runAction(action);
  return true;
}

bool ConditionTable::ConditionAllows(const std::string& name, const Expander& expand,
                                     const ActionRunner& runAction) const {
  if (name.empty() || name == kNoCondition || entries_.empty()) return true;
  for (int i = Count() - 1; i >= 0; --i)
    if (entries_[static_cast<size_t>(i)].Name == name) return EvaluateCondition(i, expand, runAction);
  return true;
}

void ConditionTable::RunPageConditions(const std::string& pageFile, const Expander& expand,
                                       const ActionRunner& runAction) const {
  for (int i = 0; i < Count(); ++i) {
    const Condition& condition = entries_[static_cast<size_t>(i)];
    if (condition.Page.empty() || condition.Done == 255 || condition.Page != pageFile) continue;
    EvaluateCondition(i, expand, runAction);
  }
}

}  // namespace tw
