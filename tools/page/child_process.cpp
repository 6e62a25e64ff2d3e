// Child processes over fork, exec and waitpid; the waits poll so that a time limit and an
// interrupt both end them.
#include "child_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace tw {
namespace {

std::atomic<bool> interrupted{false};
constexpr auto kPoll = std::chrono::milliseconds(50);

extern "C" void OnInterrupt(int) { interrupted = true; }

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 1;
}

}  // namespace

void CatchInterrupts() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool Interrupted() { return interrupted; }

std::optional<pid_t> StartProcess(const std::vector<std::string>& argv, const EnvironmentChanges& env,
                                  int outputFd) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    // Our own Ctrl-C handling must not hide the default one from the child.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
    for (const auto& [name, value] : env) {
      if (value.empty()) unsetenv(name.c_str());
      else setenv(name.c_str(), value.c_str(), 1);
    }
    if (outputFd >= 0) {
      dup2(outputFd, STDOUT_FILENO);
      dup2(outputFd, STDERR_FILENO);
    }
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

std::optional<int> WaitForExit(pid_t pid, int timeoutSeconds, bool interruptible) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return ExitCodeOf(status);
    if (done < 0) return 1;
    if ((interruptible && Interrupted()) || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kPoll);
  }
}

void StopProcess(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != 0) return;
    std::this_thread::sleep_for(kPoll);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

std::optional<int> RunProcess(const std::vector<std::string>& argv, const EnvironmentChanges& env,
                              int timeoutSeconds, bool interruptible, int outputFd) {
  std::optional<pid_t> pid = StartProcess(argv, env, outputFd);
  if (!pid) return std::nullopt;
  std::optional<int> code = WaitForExit(*pid, timeoutSeconds, interruptible);
  if (!code) StopProcess(*pid);
  return code;
}

}  // namespace tw
