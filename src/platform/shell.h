// Shell and process service: starting other programs.
#pragma once
#include <optional>
#include <string>

namespace tw {

class Shell {
 public:
  virtual ~Shell() = default;

  // Starts program with commandLine as its command line (handles inherited, a new console, normal
  // priority) and waits for it to end, without limit. An empty commandLine gives none, so the
  // system uses the program's path. False when it could not be started.
  virtual bool RunAndWait(const std::string& program, const std::string& commandLine) = 0;
  // Starts program the same way and returns at once; false when it could not be started.
  virtual bool Start(const std::string& program, const std::string& commandLine) = 0;
  // Prepares the calling worker thread for the shell's component objects (shortcuts, pictures);
  // false when the system refuses.
  virtual bool PrepareThread() = 0;
  // Opens a document, program or address with its default handler (no verb, no parameters);
  // false when the shell refused.
  virtual bool Open(const std::string& target) = 0;
  // Opens target with its default verb and parameters, shown normally, with folder as its working
  // folder; false when the shell refused.
  virtual bool OpenWith(const std::string& target, const std::string& parameters, const std::string& folder) = 0;
  // Loads the library by its full path (its own dependencies beside it still load), calls its
  // export with a 255-byte text buffer holding argument, and unloads it. The export's result;
  // nothing when the library or the export is missing.
  virtual std::optional<int> CallExport(const std::string& library, const std::string& exportName,
                                        const std::string& argument) = 0;
  // Asks the system to restart now, closing applications by force; false when it refuses.
  virtual bool Restart() = 0;
  // Ends the whole process at once with exitCode, without any clean-up. Never returns on Windows;
  // the fake records the code and returns, and the caller then stops as after a failure.
  virtual void EndProcess(int exitCode) = 0;
};

}  // namespace tw
