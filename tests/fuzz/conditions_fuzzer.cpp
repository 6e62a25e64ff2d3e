// Conditions from a settings file of any bytes: loaded within the table's bounds, every entry
// evaluated (with placeholder expansion) and its actions run, numbers read without fault.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "project/conditions.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"

namespace {

class CountingHost : public tw::ActionHost {
 public:
  void Abort() override { ++aborts; }
  void ShowInfo(const std::string& text) override { shown += text.size(); }
  int aborts = 0;
  size_t shown = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tw::ProjectSettings settings(std::string(reinterpret_cast<const char*>(data), size));
  tw::Trace trace;
  tw::ConditionTable table(trace);
  table.LoadConditions(settings);
  if (table.Count() > tw::ConditionTable::kCapacity) std::abort();

  tw::PlaceholderValues values;
  values.installDir = "C:\\Program Files\\Sample\\";
  values.productName = "Sample";
  const std::vector<tw::UserVariable> variables = {{"<Choice>", "2.5e3"}, {"<Empty>", ""}};
  auto expand = [&](const std::string& text) {
    return tw::ExpandPlaceholderText(text, values, variables, tw::Expansion::Wizard);
  };
  CountingHost host;
  auto run = [&](const std::string& command) { tw::RunAction(command, host); };

  for (const tw::Condition& condition : table.Entries()) {
    if (condition.Actions.size() > static_cast<size_t>(tw::ConditionTable::kMaxActions)) std::abort();
    if (std::isnan(tw::LeadingNumber(condition.Left)) || std::isnan(tw::LeadingNumber(condition.Right))) std::abort();
    table.ConditionAllows(condition.Name, expand, run);
    table.RunPageConditions(condition.Page, expand, run);
  }
  for (int i = -1; i <= table.Count(); ++i) table.EvaluateCondition(i, expand, run);
  return 0;
}
