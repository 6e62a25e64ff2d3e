#include "platform/registry.h"

namespace tw {
namespace {

struct RootName {
  RegRoot root;
  const char* name;
};
constexpr RootName kRootNames[] = {
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT"},   {RegRoot::CurrentUser, "HKEY_CURRENT_USER"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE"}, {RegRoot::Users, "HKEY_USERS"},
    {RegRoot::CurrentConfig, "HKEY_CURRENT_CONFIG"},
};

}  // namespace

std::optional<RegRoot> RegRootFromName(const std::string& name) {
  for (const auto& entry : kRootNames)
    if (name == entry.name) return entry.root;
  return std::nullopt;
}

const char* RegRootName(RegRoot root) {
  for (const auto& entry : kRootNames)
    if (entry.root == root) return entry.name;
  return "";
}

}  // namespace tw
