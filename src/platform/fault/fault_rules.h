// The planned failures of a fault-injecting wrapper: which calls of which kind fail, and with which
// system error. Shared by the file-system and the registry wrappers.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

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

}  // namespace tw
