// Service manager twin: created services are kept by name (without regard to case, as the manager
// does); a test can take the manager away, have creations refused, and see every attempt.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/system_error.h"
#include "platform/text.h"

namespace tw {

class FakeServices : public Services {
 public:
  ServiceResult Create(const ServiceSpec& spec) override {
    attempts.push_back(spec);
    if (!managerAvailable) return Failing(kErrorAccessDenied, ServiceResult::NoManager);
    if (spec.name.empty()) return Failing(kErrorInvalidName, ServiceResult::Refused);
    if (refusals > 0) {
      --refusals;
      return Failing(kErrorAccessDenied, ServiceResult::Refused);
    }
    if (!created.emplace(Lower(spec.name), spec).second) return Failing(kErrorServiceExists, ServiceResult::Exists);
    return ServiceResult::Created;
  }

  bool Update(const ServiceSpec& spec) override {
    updates.push_back(spec);
    auto found = created.find(Lower(spec.name));
    if (!managerAvailable) return Failing(kErrorAccessDenied, false);
    if (found == created.end()) return Failing(kErrorServiceDoesNotExist, false);
    found->second = spec;
    return true;
  }

  std::optional<ServiceSpec> Configuration(const std::string& name) const override {
    auto found = created.find(Lower(name));
    if (!managerAvailable) return Failing(kErrorAccessDenied, std::optional<ServiceSpec>());
    if (found == created.end()) return Failing(kErrorServiceDoesNotExist, std::optional<ServiceSpec>());
    ServiceSpec spec = found->second;
    spec.name = name;
    return spec;
  }

  ServiceRemoval Remove(const std::string& name) override {
    removals.push_back(name);
    if (!managerAvailable) return Failing(kErrorAccessDenied, ServiceRemoval::NoManager);
    if (!created.erase(Lower(name))) return Failing(kErrorServiceDoesNotExist, ServiceRemoval::Missing);
    return ServiceRemoval::Removed;
  }

  // --- test controls ---
  bool managerAvailable = true;                // false: the manager can't be opened
  int refusals = 0;                            // the next this many creations are refused
  std::map<std::string, ServiceSpec> created;  // by lower-case name
  std::vector<ServiceSpec> attempts;           // every call, in order, whether it worked or not
  std::vector<std::string> removals;           // every Remove call's name, in order
  std::vector<ServiceSpec> updates;            // every Update call, in order
};

}  // namespace tw
