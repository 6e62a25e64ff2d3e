#include "support/open_or_run.h"

#include "platform/shell.h"
#include "platform/text.h"

namespace tw {
namespace {

constexpr size_t kTextBuffer = 255;

std::string Cut(const std::string& text) { return Utf8Prefix(text, kTextBuffer - 1); }

// True when it was an address and has been opened.
bool OpenedAsAddress(Shell& shell, const std::string& target) {
  if (target.compare(0, 4, "http") != 0) return false;
  shell.Open(target);
  return true;
}

}  // namespace

void OpenOrRun(Shell& shell, const std::string& target, const std::string& parameters) {
  const std::string program = Cut(target);
  if (!OpenedAsAddress(shell, program)) shell.RunAndWait(program, Cut(parameters));
}

void OpenOrStart(Shell& shell, const std::string& target, const std::string& parameters) {
  const std::string program = Cut(target);
  if (!OpenedAsAddress(shell, program)) shell.Start(program, Cut(parameters));
}

}  // namespace tw
