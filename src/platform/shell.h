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
  // Starts program the same way and returns at once; false when it could not be started.
  virtual bool Start(const std::string& program, const std::string& commandLine) = 0;
  // Prepares the calling worker thread for the shell's component objects (shortcuts, pictures);
  // false when the system refuses.
  virtual bool PrepareThread() = 0;
  // Opens a document, program or address with its default handler (no verb, no parameters);
  // false when the shell refused.
  virtual bool Open(const std::string& target) = 0;
  // Ends the whole process at once with exitCode, without any clean-up. Never returns on Windows;
  // the fake records the code and returns, and the caller then stops as after a failure.
  virtual void EndProcess(int exitCode) = 0;
};

}  // namespace tw
