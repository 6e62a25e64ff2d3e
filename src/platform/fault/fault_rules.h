// The planned failures of a fault-injecting wrapper: which calls of which kind fail, and with which
// system error. Shared by the file-system and the registry wrappers.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/system_error.h"

namespace tw {

// Threads: any thread; the rules are counted under a lock, since the install worker and the payload
// prefetch call the file system at once.
class FaultRules {
 public:
  // Calls of kind whose subject (a path, or "from|to" for two paths) holds fragment (any when empty,
  // compared without case) fail with error: every one when nth is 0, only the nth such call when
  // nth > 0, the first -nth such calls when nth < 0.
  void Add(int kind, const std::string& fragment, int nth, uint32_t error);
  // Forgets every rule, and how many calls they failed.
  void Clear();
  // Counts the call against every rule it matches, up to the first that fails it. When one does, its
  // error is noted for the thread as the system would note it, and the answer is true.
  bool Fails(int kind, const std::string& subject);
  // How many calls have been failed so far.
  int Fired() const;

 private:
  struct Rule {
    int kind;
    std::string fragment;  // lower case
    int nth;
    int seen;
    uint32_t error;
  };
  mutable std::mutex lock_;
  std::vector<Rule> rules_;
  int fired_ = 0;
};

// What a test sees of a wrapper's rules, with the wrapper's own kinds of call (Op, an enum).
template <typename Op>
class FaultControls {
 public:
  // Makes calls of kind op fail with error: every one whose subject holds fragment (any when
  // empty), or only the nth such call when nth > 0, or the first -nth such calls when nth < 0.
  void FailWhen(Op op, const std::string& fragment = "", int nth = 0, uint32_t error = kErrorAccessDenied) {
    rules_.Add(static_cast<int>(op), fragment, nth, error);
  }
  void ClearFailures() { rules_.Clear(); }
  // How many calls the rules have failed so far.
  int Fired() const { return rules_.Fired(); }

 protected:
  // Whether this call fails; counted as the call. Const, as the seam's questions are.
  bool Fails(Op op, const std::string& subject) const { return rules_.Fails(static_cast<int>(op), subject); }

 private:
  mutable FaultRules rules_;
};

}  // namespace tw
