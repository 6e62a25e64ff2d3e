// Child processes for tarnwick-page: start one with extra environment, wait for it with a time
// limit, and end it by its id. An interrupt (Ctrl-C, TERM) cuts every wait short.
#pragma once
#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tw {

using EnvironmentChanges = std::vector<std::pair<std::string, std::string>>;  // empty value: unset

// Catches INT, TERM and HUP from here on, so the caller can still clean up after one.
void CatchInterrupts();
bool Interrupted();

// Starts argv[0] (a path, or a name found on PATH) with the environment changed as given;
// outputFd, when not -1, becomes the child's standard output and error. Returns the child's id, or nothing when it could not start.
std::optional<pid_t> StartProcess(const std::vector<std::string>& argv, const EnvironmentChanges& env,
                                  int outputFd = -1);

// The exit code once the child has ended; nothing when it still runs after timeoutSeconds or, when
// interruptible, an interrupt came first (the child then still runs). A child killed by a signal
// gives 128 + signal.
std::optional<int> WaitForExit(pid_t pid, int timeoutSeconds, bool interruptible = true);

// TERM, a short wait, then KILL; reaps the child.
void StopProcess(pid_t pid);

// Starts, waits and stops on a timeout: the exit code, or nothing when it did not end in time.
// Clean-up steps pass interruptible false, so a second Ctrl-C cannot leave things running.
std::optional<int> RunProcess(const std::vector<std::string>& argv, const EnvironmentChanges& env,
                              int timeoutSeconds, bool interruptible = true, int outputFd = -1);

}  // namespace tw
