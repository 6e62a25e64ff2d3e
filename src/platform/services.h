// Service manager: registering Windows services that an installation brings along.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// One service as the manager stores it; the numbers are the manager's own type, start and
// error-control codes (16 own process, 3 demand start, 1 normal error control, ...).
struct ServiceSpec {
  std::string name;  // the key the manager keeps the service under
  std::string displayName;
  uint32_t type = 16;
  uint32_t startType = 3;
  uint32_t errorControl = 1;
  std::string path;  // the service program with any arguments
};

// Why a service was or wasn't made: the installer asks the user only when the manager refused the
// service itself, and goes on silently when it can't reach the manager at all. Exists: a service
// of that name is there already (any case), which a reinstall of the same product updates.
enum class ServiceResult { Created, NoManager, Refused, Exists };
// How a removal went: Missing when no service has that name.
enum class ServiceRemoval { Removed, Missing, NoManager, Refused };

// Threads: one at a time (the fake records each call without a lock).
class Services {
 public:
  virtual ~Services() = default;

  // Creates the service on the local machine to run as the local system account, without
  // starting it. NoManager when the manager can't be opened with full access; Refused when the
  // service can't be created; Exists when a service of that name is there. Not named
  // CreateService: <windows.h> makes that a macro.
  virtual ServiceResult Create(const ServiceSpec& spec) = 0;
  // Gives the existing service named spec.name the spec's display name, type, start, error control
  // and program. False when the manager or the service can't be opened, or the change is refused.
  virtual bool Update(const ServiceSpec& spec) = 0;
  // The service as the manager keeps it (name as asked; path: the command line it starts the
  // service with); nothing when there is no such service or the manager can't be asked.
  virtual std::optional<ServiceSpec> Configuration(const std::string& name) const = 0;
  // Asks a running service to stop, waits a few seconds for it, and deletes it (the manager
  // finishes the deletion once the service has stopped).
  virtual ServiceRemoval Remove(const std::string& name) = 0;
};

}  // namespace tw
