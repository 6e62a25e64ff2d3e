// Setting, appending to and removing environment variables in the registry, each logged for the
// uninstaller when the project asks for it.
#include "install/environment.h"

#include <optional>

#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/platform.h"
#include "platform/text.h"

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

// Whether part is already one of the ";"-separated parts of value. Folders compare as Windows
// compares them: without case, and with or without a trailing backslash.
bool HasPart(const std::string& value, const std::string& part) {
  const std::string wanted = Lower(WithoutTrailingBackslash(part));
  size_t begin = 0;
  for (;;) {
    size_t end = value.find(';', begin);
    std::string piece = value.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (Lower(WithoutTrailingBackslash(piece)) == wanted) return true;
    if (end == std::string::npos) return false;
    begin = end + 1;
  }
}

// The variable's current text is kept whole when appending: cutting it to fit a buffer would write
// a shortened copy of the user's own value back. An expandable variable (a PATH holding
// "%SystemRoot%") stays expandable, so its references keep working. A value that is already one
// of the variable's parts is not added again (a second install would otherwise grow PATH).
const char* SetVariable(Registry& registry, const Scope& scope, const Variable& item) {
  std::string value = item.value;
  if (item.mode == "Append") {
    std::optional<std::string> current = registry.ReadString(scope.root, scope.key, item.name);
    if (current && HasPart(*current, item.value)) return "already-there";
    value = current.value_or("") + ";" + item.value;
  }
  bool expandable = registry.IsExpandableString(scope.root, scope.key, item.name);
  return registry.WriteString(scope.root, scope.key, item.name, value, expandable) ? "ok" : "failed";
}

}  // namespace

void SetEnvironmentVariables(InstallSession& session) {
  Registry& registry = session.platform.registry;
  for (int i : session.settings.EntryIndices("ENVIRTW")) {
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
    const bool remove = item.install == "Remove", append = !remove && item.mode == "Append";
    const std::string logged = std::string(RegRootName(scope->root)) + "\\" + scope->key + "\\" + item.name;
    // A variable the uninstaller will take is put back instead when it was there before. Any other
    // is out of the log's reach, but a rollback still gives it its earlier content.
    if (item.uninstall == "Remove" && !append)
      session.NotePriorValue(scope->root, scope->key, item.name, logged);
    else
      session.KeepValue(scope->root, scope->key, item.name);
    ClearSystemError();  // keeping the earlier content reads a value that may well not be there
    const std::string result = remove ? (registry.DeleteValue(scope->root, scope->key, item.name) ? "ok" : "failed")
                                      : SetVariable(registry, *scope, item);
    session.trace.Write("install", "environment",
                        {{"name", item.name}, {"scope", item.scope},
                         {"action", remove ? "remove" : append ? "append" : "set"}, {"result", result}},
                        result == "failed" ? LastSystemError() : SystemError{});
    if (item.uninstall != "Remove") continue;
    // The log can only name a whole variable; removing it would take the user's own parts (all of
    // PATH) with the appended one.
    if (append) {
      session.trace.Write("install", "environment-unlogged", {{"name", item.name}, {"reason", "append"}});
      continue;
    }
    session.LogIfOwned("REGVAL", logged, result == "ok");
  }
}

}  // namespace tw
