#include "app/user_variables.h"

#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "support/fetch_url_text.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

const char* const kSection = "VARIABLES";
// Definition keys are read with the count's buffer size.
constexpr int kKeyBuffer = kCountBuffer;
// An INI value of another program is read with the ordinary value buffer.
constexpr int kIniBuffer = kValueBuffer;

using Expander = std::function<std::string(const std::string&)>;

// The keys of one variable; the ones that name paths, addresses and windows still unexpanded.
struct VariableDefinition {
  std::string name, fallback, note, source;
  std::string registryRoot, registryKey, registryValue;
  std::string iniFile, iniSection, iniKey;
  std::string findPath, webAddress, windowClass, windowTitle;
};

VariableDefinition ReadDefinition(const ProjectSettings& settings, int index) {
  const std::string n = std::to_string(index);
  auto read = [&](const char* letter) { return settings.ReadSetting(kSection, letter + n, kKeyBuffer); };
  VariableDefinition d;
  d.name = read("A");
  d.fallback = read("B");
  d.note = read("C");
  d.source = read("D");
  d.registryRoot = read("E");
  d.registryKey = read("F");
  d.registryValue = read("G");
  d.iniFile = read("H");
  d.iniSection = read("I");
  d.iniKey = read("J");
  d.findPath = read("L");
  d.webAddress = read("O");
  d.windowClass = read("P");
  d.windowTitle = read("Q");
  return d;
}

// The please-wait notice: shown once, before the first slow lookup, and closed only if shown.
class WaitNotice {
 public:
  explicit WaitNotice(FixedDialogs& dialogs) : dialogs_(dialogs) {}
  void Show() {
    if (shown_) return;
    dialogs_.ShowWait();
    shown_ = true;
  }
  void Close() {
    if (shown_) dialogs_.CloseWait();
    shown_ = false;
  }

 private:
  FixedDialogs& dialogs_;
  bool shown_ = false;
};

std::string OrFallback(const std::string& value, const std::string& fallback) {
  return value.empty() ? fallback : value;
}

const char* TrueFalse(bool value) { return value ? "TRUE" : "FALSE"; }

// A key the user may not open for all access counts as unreadable, as does an unknown root name.
std::string RegistryText(const Registry& registry, const VariableDefinition& d) {
  std::optional<RegRoot> root = RegRootFromName(d.registryRoot);
  if (!root || !registry.CanOpen(*root, d.registryKey, RegAccess::All)) return "";
  return registry.ReadString(*root, d.registryKey, d.registryValue).value_or("");
}

std::string IniText(Platform& platform, const std::string& file, const VariableDefinition& d) {
  if (!platform.files.Exists(file)) return "";
  return platform.profiles.ReadValue(file, d.iniSection, d.iniKey, "", kIniBuffer);
}

bool AnyMatch(const FileSystem& files, const std::string& pattern) {
  return !pattern.empty() && !files.Find(pattern).empty();
}

std::string ExpandIfSet(const Expander& expand, const std::string& text) {
  return text.empty() ? text : expand(text);
}

std::string ComputeValue(const VariableDefinition& d, Platform& platform, const Expander& expand,
                         WaitNotice& wait, const std::string& agent) {
  if (d.source == "Nowhere") return d.fallback;
  if (d.source == "Registry") return OrFallback(RegistryText(platform.registry, d), d.fallback);
  if (d.source == "INI Files") return OrFallback(IniText(platform, expand(d.iniFile), d), d.fallback);
  if (d.source == "Find File/Folder") {
    wait.Show();
    return TrueFalse(AnyMatch(platform.files, expand(d.findPath)));
  }
  if (d.source == "Retrive from Web") {
    wait.Show();
    return OrFallback(FetchUrlText(platform.http, agent, expand(d.webAddress)), d.fallback);
  }
  if (d.source == "Find Window") {
    return TrueFalse(platform.ui.TopLevelWindowExists(ExpandIfSet(expand, d.windowClass),
                                                      ExpandIfSet(expand, d.windowTitle)));
  }
  return "";
}

}  // namespace

void LoadUserVariables(const ProjectSettings& settings, Platform& platform, const Expander& expand,
                       FixedDialogs& dialogs, Trace& trace, const std::string& agent,
                       std::vector<UserVariable>& variables, std::vector<std::string>& notes) {
  variables.clear();
  notes.clear();
  const int total = settings.ReadCount(kSection);
  WaitNotice wait(dialogs);
  for (int i = 0; i < total; ++i) {
    if (static_cast<int>(variables.size()) >= kUserVariableCapacity) {
      trace.Write("variables", "refused",
                  {{"index", std::to_string(i)}, {"total", std::to_string(total)},
                   {"capacity", std::to_string(kUserVariableCapacity)}});
      break;
    }
    const VariableDefinition definition = ReadDefinition(settings, i);
    std::string value = ComputeValue(definition, platform, expand, wait, agent);
    trace.Write("variables", "value",
                {{"name", definition.name}, {"source", definition.source}, {"value", value}});
    variables.push_back({definition.name, std::move(value)});
    notes.push_back(definition.note);
  }
  wait.Close();
}

}  // namespace tw
