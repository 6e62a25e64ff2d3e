// Shell twin: a program starts when its file exists in the fake file system; every start attempt is
// recorded so a test can see what ran with which command line. Shortcuts are saved as small files
// (only into a folder that exists) and recorded by path.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <optional>
#include <vector>

#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/system_error.h"

namespace tw {

class FakeShell : public Shell {
 public:
  struct Run {
    std::string program, commandLine;
  };
  explicit FakeShell(FileSystem& files) : files_(files) {}

  std::optional<uint32_t> RunAndWait(const std::string& program, const std::string& commandLine) override {
    runs.push_back({program, commandLine});
    if (!Startable(program)) return std::nullopt;
    auto code = exitCodes.find(program);
    return code == exitCodes.end() ? 0 : code->second;
  }

  bool PrepareThread() override { return threadsPrepare; }

  bool Start(const std::string& program, const std::string& commandLine) override {
    started.push_back({program, commandLine});
    return Startable(program);
  }

  bool Open(const std::string& target) override {
    opened.push_back(target);
    return true;
  }

  void EndProcess(int exitCode) override { endedWith = exitCode; }
  bool OpenWith(const std::string& target, const std::string& parameters, const std::string& folder) override {
    opened.push_back(target + "|" + parameters + "|" + folder);
    return true;
  }
  // A library "exists" when its file does; its exports answer from exportResults by name.
  std::optional<int> CallExport(const std::string& library, const std::string& exportName,
                                const std::string& argument) override {
    exportCalls.push_back(library + "|" + exportName + "|" + argument);
    auto result = exportResults.find(exportName);
    if (!files_.Exists(library) || result == exportResults.end()) return std::nullopt;
    return result->second;
  }
  // Plays the user from browseScript: each entry is a press of OK with that path, nothing a
  // Cancel; the script running out cancels too. The dialog is FolderDialogWindow().
  std::optional<std::string> BrowseForFolder(
      const std::string& title, const std::string& prompt,
      const std::function<bool(const std::string& path, NativeWindow dialog)>& accept,
      PageWindow* owner) override {
    browsed.push_back(title + "|" + prompt);
    browseOwners.push_back(owner);
    while (!browseScript.empty()) {
      std::optional<std::string> press = browseScript.front();
      browseScript.pop_front();
      if (!press) return std::nullopt;
      if (accept(*press, FolderDialogWindow())) return press;
    }
    return std::nullopt;
  }
  bool PlaySoundFile(const std::string& path, bool repeat) override {
    sounds.push_back({path, repeat});
    return files_.Exists(path);
  }
  bool CreateShellLink(const ShellLink& link, const std::string& linkPath) override {
    if (!SaveInFolder(linkPath, "[ShellLink]\r\nPath=" + link.path + "\r\n")) return false;
    links[linkPath] = link;
    return true;
  }
  bool CreateInternetShortcut(const std::string& url, const std::string& shortcutPath) override {
    if (!SaveInFolder(shortcutPath, "[InternetShortcut]\r\nURL=" + url + "\r\n")) return false;
    internetShortcuts[shortcutPath] = url;
    return true;
  }
  bool Restart() override {
    ++restarts;
    return restartAllowed || Failing(kErrorAccessDenied, false);
  }
  // Another process holds a lock while its name is in heldElsewhere; the wait is recorded, not spent.
  std::unique_ptr<MachineLock> TakeMachineLock(const std::string& name, uint32_t waitMs) override {
    lockWaits.push_back({name, waitMs});
    if (heldElsewhere.count(name) || held_.count(name)) return nullptr;
    return std::make_unique<Lock>(held_, name);
  }
  bool WriteToParentConsole(const std::string& text) override {
    if (!hasParentConsole) return false;
    console += text;
    return true;
  }

  std::vector<Run> runs;
  std::map<std::string, uint32_t> exitCodes;  // RunAndWait's answer for a program; 0 when not named
  std::optional<int> endedWith;  // the exit code EndProcess was asked for
  std::vector<std::string> exportCalls;
  std::map<std::string, int> exportResults;
  int restarts = 0;
  std::vector<std::pair<std::string, bool>> sounds;
  std::deque<std::optional<std::string>> browseScript;
  std::vector<std::string> browsed;  // "title|prompt" of every folder dialog opened
  std::vector<PageWindow*> browseOwners;  // the page each folder dialog belonged to
  // The window every folder dialog hands to its OK handler.
  NativeWindow FolderDialogWindow() { return NativeWindow{&folderDialog_}; }
  bool restartAllowed = true;
  std::vector<Run> started;  // started without waiting
  std::vector<std::string> opened;
  bool threadsPrepare = true;
  std::map<std::string, ShellLink> links;                 // saved shell links by path
  std::map<std::string, std::string> internetShortcuts;  // saved URLs by path
  std::set<std::string> heldElsewhere;                    // machine locks another process holds
  std::vector<std::pair<std::string, uint32_t>> lockWaits;  // every lock asked for, and how long
  bool hasParentConsole = false;
  std::string console;  // what reached the parent's console

 private:
  class Lock : public MachineLock {
   public:
    Lock(std::set<std::string>& held, std::string name) : held_(held), name_(std::move(name)) { held_.insert(name_); }
    ~Lock() override { held_.erase(name_); }

   private:
    std::set<std::string>& held_;
    std::string name_;
  };

  std::set<std::string> held_;
  // Like the real objects, saving never creates the folder it saves into.
  bool SaveInFolder(const std::string& path, const std::string& content) {
    size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos || !files_.IsFolder(path.substr(0, cut))) return Failing(kErrorPathNotFound, false);
    return files_.WriteAll(path, content);
  }
  // As the system starts programs: a missing file, or a folder, is refused with its reason.
  bool Startable(const std::string& program) const {
    if (!files_.Exists(program)) return Failing(kErrorFileNotFound, false);
    return !files_.IsFolder(program) || Failing(kErrorAccessDenied, false);
  }

  FileSystem& files_;
  char folderDialog_ = 0;  // its address stands for the folder dialog's window
};

}  // namespace tw
