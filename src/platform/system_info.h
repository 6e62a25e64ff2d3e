// System-information service: the machine's folders, the user, the clock and the environment.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // The Windows folder, without a trailing backslash ("C:\\windows").
  virtual std::string WindowsFolder() const = 0;
  // The system folder, without a trailing backslash.
  virtual std::string SystemFolder() const = 0;
  // The user's temporary folder as the system gives it (normally with a trailing backslash).
  virtual std::string TempFolder() const = 0;
  // A shell folder by CSIDL value, without a trailing backslash; empty when the system has none.
  virtual std::string SpecialFolder(int csidl) const = 0;
  // The logged-on user's name; empty when it cannot be read.
  virtual std::string UserName() const = 0;
  virtual LocalTime Now() const = 0;
  // Milliseconds since an arbitrary start, wrapping like GetTickCount.
  virtual uint32_t TickCount() const = 0;
  // An environment variable of this process; nothing when unset.
  virtual std::optional<std::string> Environment(const std::string& name) const = 0;
};

}  // namespace tw
