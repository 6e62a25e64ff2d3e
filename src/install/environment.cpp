// Setting, appending to and removing environment variables in the registry, each logged for the
// uninstaller when the project asks for it.
#include "install/environment.h"

#include <optional>

#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/platform.h"

namespace tw {
namespace {

// Names and the item's value are kept to the 254 characters a 255-byte buffer holds.
constexpr size_t kEnvironmentText = 254;

struct Scope {
  RegRoot root;
  const char* key;
};

std::optional<Scope> ScopeNamed(const std::string& name) {
  if (name == "User") return Scope{RegRoot::CurrentUser, "Environment"};
  if (name == "System")
    return Scope{RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"};
  return std::nullopt;
}

struct Variable {
  std::string name, feature, value, install, mode, uninstall, scope;
};

Variable ReadVariable(InstallSession& session, int index) {
  const std::string n = std::to_string(index);
  auto read = [&](const char* letter, int buffer) { return session.settings.ReadSetting("ENVIRTW", letter + n, buffer); };
  Variable item{read("A", kCountBuffer), read("B", kCountBuffer), read("C", kValueBuffer), read("D", kCountBuffer),
                read("E", kCountBuffer),  read("F", kCountBuffer), read("G", kCountBuffer)};
  item.name = item.name.substr(0, kEnvironmentText);
  item.value = session.Expand(item.value).substr(0, kEnvironmentText);
  return item;
}

// The variable's current text is kept whole when appending: cutting it to fit a buffer would write
// a shortened copy of the user's own value back. An expandable variable (a PATH holding
// "%SystemRoot%") stays expandable, so its references keep working.
bool SetVariable(Registry& registry, const Scope& scope, const Variable& item) {
  std::string value = item.value;
  if (item.mode == "Append")
    value = registry.ReadString(scope.root, scope.key, item.name).value_or("") + ";" + item.value;
  bool expandable = registry.IsExpandableString(scope.root, scope.key, item.name);
  return registry.WriteString(scope.root, scope.key, item.name, value, expandable);
}

}  // namespace

void SetEnvironmentVariables(InstallSession& session) {
  const int total = ToNumber(session.settings.ReadSetting("ENVIRTW", "TOTAL", kCountBuffer));
  Registry& registry = session.platform.registry;
  for (int i = 0; i < total; ++i) {
    const Variable item = ReadVariable(session, i);
    std::optional<Scope> scope = ScopeNamed(item.scope);
    const char* skipped = !session.FeatureAllows(item.feature) ? "feature-off"
                          : !scope                              ? "unknown-scope"
                          : item.name.empty()                   ? "no-name"
                                                                : nullptr;
    if (skipped) {
      session.trace.Write("install", "environment-skipped", {{"name", item.name}, {"reason", skipped}});
      continue;
    }
    const bool remove = item.install == "Remove";
    bool done = remove ? registry.DeleteValue(scope->root, scope->key, item.name) : SetVariable(registry, *scope, item);
    session.trace.Write("install", "environment",
                        {{"name", item.name}, {"scope", item.scope},
                         {"action", remove ? "remove" : item.mode == "Append" ? "append" : "set"},
                         {"result", done ? "ok" : "failed"}});
    if (item.uninstall == "Remove")
      session.WriteLogEntry("REGVAL", std::string(RegRootName(scope->root)) + "\\" + scope->key + "\\" + item.name);
  }
}

}  // namespace tw
