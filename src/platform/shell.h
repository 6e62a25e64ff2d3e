// Shell and process service: starting other programs.
#pragma once
#include <string>

namespace tw {

class Shell {
 public:
  virtual ~Shell() = default;

  // Starts program with commandLine as its command line (handles inherited, a new console, normal
  // priority) and waits for it to end, without limit. False when it could not be started.
  virtual bool RunAndWait(const std::string& program, const std::string& commandLine) = 0;
};

}  // namespace tw
