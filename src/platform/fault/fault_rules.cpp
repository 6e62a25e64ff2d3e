#include "platform/fault/fault_rules.h"

#include "platform/system_error.h"
#include "platform/text.h"

namespace tw {

void FaultRules::Add(int kind, const std::string& fragment, int nth, uint32_t error) {
  std::lock_guard<std::mutex> guard(lock_);
  rules_.push_back({kind, Lower(fragment), nth, 0, error});
}

void FaultRules::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  rules_.clear();
  fired_ = 0;
}

bool FaultRules::Fails(int kind, const std::string& subject) {
  const std::string lowered = Lower(subject);
  std::lock_guard<std::mutex> guard(lock_);
  for (Rule& rule : rules_) {
    if (rule.kind != kind) continue;
    if (!rule.fragment.empty() && lowered.find(rule.fragment) == std::string::npos) continue;
    ++rule.seen;
    if (rule.nth == 0 || rule.seen == rule.nth || rule.seen <= -rule.nth) {
      ++fired_;
      // Noted on the calling thread, where the caller reads it right after the failed call.
      NoteSystemError(rule.error);
      return true;
    }
  }
  return false;
}

int FaultRules::Fired() const {
  std::lock_guard<std::mutex> guard(lock_);
  return fired_;
}

}  // namespace tw
