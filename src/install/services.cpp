// Registering the project's Windows services and logging each for the uninstaller.
#include "install/services.h"

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

constexpr uint32_t kOwnProcess = 16, kShareProcess = 32, kInteractive = 256;
constexpr uint32_t kDemandStart = 3, kErrorNormal = 1;

struct TextValue {
  const char* text;
  uint32_t value;
};

constexpr TextValue kStartTypes[] = {{"SERVICE_BOOT_START", 0}, {"SERVICE_SYSTEM_START", 1},
                                     {"SERVICE_AUTO_START", 2}, {"SERVICE_DEMAND_START", 3},
                                     {"SERVICE_DISABLED", 4}};
constexpr TextValue kErrorControls[] = {
    {"SERVICE_ERROR_IGNORE", 0}, {"SERVICE_ERROR_NORMAL", 1}, {"SERVICE_ERROR_CRITICAL", 3}};

template <size_t N>
uint32_t ValueOf(const TextValue (&table)[N], const std::string& text, uint32_t fallback) {
  for (const TextValue& row : table)
    if (text == row.text) return row.value;
  return fallback;
}

// The manager takes the interactive flag only on top of a process type, so it rides on an own
// process; a text it doesn't know gets the most ordinary service: its own process.
uint32_t ServiceType(const std::string& text) {
  if (text == "SERVICE_WIN32_SHARE_PROCESS") return kShareProcess;
  if (text == "SERVICE_INTERACTIVE_PROCESS") return kOwnProcess | kInteractive;
  return kOwnProcess;
}

bool IsWindows9x(const std::string& osTag) {
  return osTag == "ME" || osTag == "98" || osTag == "95" || osTag == "98SE";
}

const char* ResultName(ServiceResult result) {
  switch (result) {
    case ServiceResult::Created:
      return "ok";
    case ServiceResult::NoManager:
      return "no-manager";
    case ServiceResult::Exists:
      return "exists";
    case ServiceResult::Refused:
      break;
  }
  return "failed";
}

ServiceSpec SpecFor(InstallSession& session, const std::string& name, const std::string& displayName,
                    const std::string& type, const std::string& start, const std::string& errorControl,
                    const std::string& path) {
  ServiceSpec spec;
  spec.name = name;
  spec.displayName = displayName;
  spec.type = ServiceType(type);
  spec.startType = ValueOf(kStartTypes, start, kDemandStart);
  spec.errorControl = ValueOf(kErrorControls, errorControl, kErrorNormal);
  spec.path = QuoteServiceProgram(session.platform.files, session.Expand(path));
  return spec;
}

// Where the program of an unquoted command line ends; npos when nothing tells.
size_t ProgramEnd(const FileSystem& files, const std::string& line) {
  const std::string lower = Lower(line);
  for (size_t at = lower.find(".exe"); at != std::string::npos; at = lower.find(".exe", at + 1))
    if (at + 4 == line.size() || line[at + 4] == ' ') return at + 4;
  for (size_t blank = line.rfind(' '); blank != std::string::npos && blank > 0; blank = line.rfind(' ', blank - 1)) {
    const std::string program = line.substr(0, blank);
    if (files.Exists(program) && !files.IsFolder(program)) return blank;
  }
  return std::string::npos;
}

// The user's answer to a refused service: true to try again. Cancel gives the installation up
// (the work folder goes, the run counts as cancelled) but the remaining services are still made.
bool AskToRetry(InstallSession& session, const ServiceSpec& spec, SystemError error) {
  int answer = session.dialogs.AskRetry("Tarnwick can't install " + spec.displayName + " service. What do you want to do ?",
                                        false, session.platform.system.ErrorText(error));
  session.trace.Write("install", "service-retry", {{"name", spec.name}, {"answer", std::to_string(answer)}});
  if (answer == FixedDialogs::kRetry) return true;
  if (answer == FixedDialogs::kCancel) {
    if (session.RemoveWorkFolder) session.RemoveWorkFolder();
    session.flags.cancelled = kOn;
  }
  return false;
}

// A service of the same name that an earlier installation of the product made is the product's
// own: a reinstall brings it up to date rather than failing on it. Anyone else's is left alone.
bool UpdateOwnService(InstallSession& session, const ServiceSpec& spec) {
  if (!session.Earlier.Owns("NTSERVICE", spec.name)) return false;
  if (std::optional<ServiceSpec> before = session.platform.services.Configuration(spec.name))
    session.Rollback.KeepService(*before);
  ClearSystemError();
  bool updated = session.platform.services.Update(spec);
  session.trace.WriteResult("install", "service-update", {{"name", spec.name}}, updated);
  return updated;
}

}  // namespace

std::string QuoteServiceProgram(const FileSystem& files, const std::string& commandLine) {
  if (commandLine.empty() || commandLine.front() == '"') return commandLine;
  size_t end = ProgramEnd(files, commandLine);
  if (end == std::string::npos) end = commandLine.size();
  const std::string program = commandLine.substr(0, end);
  if (program.find(' ') == std::string::npos) return commandLine;
  return "\"" + program + "\"" + commandLine.substr(end);
}

void InstallServices(InstallSession& session) {
  const std::vector<int> entries = session.settings.EntryIndices("NTSERVICE");
  if (!entries.empty()) session.SetStatus("Installing Service...");
  for (int i : entries) {
    const std::string n = std::to_string(i);
    auto read = [&](const char* letter) { return session.settings.ReadSetting("NTSERVICE", letter + n); };
    InstallService(session, read("A"), read("B"), read("C"), read("D"), read("E"), read("F"), read("G"), read("H"));
  }
}

void InstallService(InstallSession& session, const std::string& name, const std::string& displayName,
                    const std::string& type, const std::string& start, const std::string& errorControl,
                    const std::string& path, const std::string& unused1, const std::string& unused2) {
  if (IsWindows9x(session.host.OsTag)) {
    session.trace.Write("install", "service-skipped", {{"name", name}, {"reason", "os"}, {"os", session.host.OsTag}});
    return;
  }
  const ServiceSpec spec = SpecFor(session, name, displayName, type, start, errorControl, path);
  for (;;) {
    ClearSystemError();
    ServiceResult result = session.platform.services.Create(spec);
    const SystemError error = result == ServiceResult::Created ? SystemError{} : LastSystemError();
    session.trace.Write("install", "service",
                        {{"name", name},
                         {"type", std::to_string(spec.type)},
                         {"start", std::to_string(spec.startType)},
                         {"error-control", std::to_string(spec.errorControl)},
                         {"path", spec.path},
                         {"result", ResultName(result)}},
                        error);
    if (result == ServiceResult::Created || (result == ServiceResult::Exists && UpdateOwnService(session, spec))) {
      if (result == ServiceResult::Created) session.Made("NTSERVICE", name);
      session.WriteLogEntry("NTSERVICE", name);
      return;
    }
    if (result == ServiceResult::NoManager || !AskToRetry(session, spec, error)) return;
  }
}

}  // namespace tw
