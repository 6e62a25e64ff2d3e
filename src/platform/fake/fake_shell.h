// Shell twin: a program starts when its file exists in the fake file system; every start attempt is
// recorded so a test can see what ran with which command line.
#pragma once
#include <optional>
#include <vector>

#include "platform/fake/fake_file_system.h"
#include "platform/shell.h"

namespace tw {

class FakeShell : public Shell {
 public:
  struct Run {
    std::string program, commandLine;
  };
  explicit FakeShell(const FakeFileSystem& files) : files_(files) {}

  bool RunAndWait(const std::string& program, const std::string& commandLine) override {
    runs.push_back({program, commandLine});
    return files_.Exists(program) && !files_.IsFolder(program);
  }

  bool PrepareThread() override { return threadsPrepare; }

  bool Start(const std::string& program, const std::string& commandLine) override {
    started.push_back({program, commandLine});
    return files_.Exists(program) && !files_.IsFolder(program);
  }

  bool Open(const std::string& target) override {
    opened.push_back(target);
    return true;
  }

  void EndProcess(int exitCode) override { endedWith = exitCode; }

  std::vector<Run> runs;
  std::optional<int> endedWith;  // the exit code EndProcess was asked for
  std::vector<Run> started;  // started without waiting
  std::vector<std::string> opened;
  bool threadsPrepare = true;

 private:
  const FakeFileSystem& files_;
};

}  // namespace tw
