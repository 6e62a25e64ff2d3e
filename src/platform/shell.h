// Shell and process service: starting other programs, shell links and Internet shortcuts.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/native_window.h"

namespace tw {

class PageWindow;

// What a shell link (".lnk") points to and how it starts its target.
struct ShellLink {
  std::string path;           // the program or document
  std::string iconLocation;   // empty: the target's own icon
  int iconIndex = 0;
  std::string arguments;      // empty: none
  std::string description;
  int showCommand = 0;        // 0 leaves the default (normal); 3 maximized, 7 minimized
  std::string workingFolder;
};

// A lock every process on the machine sees, in every session and for every user; held until the
// object is destroyed, on the thread that took it.
class MachineLock {
 public:
  virtual ~MachineLock() = default;
};

// Threads: one at a time; BrowseForFolder on the UI thread (its dialog belongs to a page), and
// the shell links only on a thread PrepareThread prepared.
class Shell {
 public:
  virtual ~Shell() = default;

  // Starts program with commandLine as its command line (handles inherited, a new console, normal
  // priority) and waits for it to end, without limit. An empty commandLine gives none, so the
  // system uses the program's path. Its exit code; nothing when it could not be started.
  virtual std::optional<uint32_t> RunAndWait(const std::string& program, const std::string& commandLine) = 0;
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
  // The system's folder browser, titled title and showing prompt, with an edit box above the tree
  // for a typed path. Pressing OK hands the typed or chosen path to accept, with the dialog itself
  // to own the messages it shows; false keeps the dialog open. The accepted path, or nothing when
  // the user cancelled. owner (may be null): the page it belongs to; no page takes input while the
  // browser is open.
  virtual std::optional<std::string> BrowseForFolder(
      const std::string& title, const std::string& prompt,
      const std::function<bool(const std::string& path, NativeWindow dialog)>& accept, PageWindow* owner) = 0;
  // Plays a wave file asynchronously, once or over and over until the process ends; false when it
  // cannot be played.
  virtual bool PlaySoundFile(const std::string& path, bool repeat) = 0;
  // Saves a shell link at linkPath, replacing one there. Needs a thread prepared by PrepareThread.
  // False when the link object can't be made or saved (a missing folder, for one).
  virtual bool CreateShellLink(const ShellLink& link, const std::string& linkPath) = 0;
  // Saves an Internet shortcut (".url") to url at shortcutPath, likewise; false when it can't.
  virtual bool CreateInternetShortcut(const std::string& url, const std::string& shortcutPath) = 0;
  // Asks the system to restart now, closing applications by force; false when it refuses.
  virtual bool Restart() = 0;
  // Takes the machine-wide lock called name, waiting up to waitMs for another process to let it
  // go (0 asks once). Nothing when it stayed taken or the system refused.
  virtual std::unique_ptr<MachineLock> TakeMachineLock(const std::string& name, uint32_t waitMs) = 0;
  // Writes text to the console of the program that started this one, when it has one (a script
  // run from a command prompt); false when there is none.
  virtual bool WriteToParentConsole(const std::string& text) = 0;
  // Ends the whole process at once with exitCode, without any clean-up. Never returns on Windows;
  // the fake records the code and returns, and the caller then stops as after a failure.
  virtual void EndProcess(int exitCode) = 0;
};

}  // namespace tw
