#include "support/requirements.h"

#include <cstdint>
#include <string>

#include "project/language_file.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/system_info.h"
#include "support/cpu_info.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

constexpr char kSystemSection[] = "SYSTEM";
constexpr char kMessageSection[] = "REQ";
constexpr int kOsCount = 13;
// The seven rows up to Server 2003 all allowed meant "any system" before the newer rows existed,
// and still do.
constexpr int kAllOldOs = (1 << 7) - 1;
constexpr uint64_t kBytesPerMegabyte = 1048576;

// What the author asked of the machine, as the settings spell it.
struct RequiredValues {
  std::string processor, ram, screen, colors;
  int osMask = 0;
};

// Which language text reports which requirement, and the text used when the language has none.
enum Requirement { kOs = 0, kColors, kScreen, kRam, kProcessor, kRequirementCount };

constexpr const char* kRequirementNames[kRequirementCount] = {"os", "colors", "screen", "ram", "processor"};

constexpr const char* kBuiltInMessages[kRequirementCount] = {
    "The operating system is not adequate for running <ProductName>.",
    "The color settings of your system are not adequate for running <ProductName>.",
    "The screen resolution is not adequate for running <ProductName>.",
    "The amount of RAM is not adequate for running <ProductName>.",
    "The processor is not adequate for running <ProductName>.",
};

enum class Outcome { kSkip, kPass, kFail };

// One check's verdict, with what was asked and what was found, for the trace.
struct CheckResult {
  Outcome outcome = Outcome::kSkip;
  std::string required, actual;
};

// The systems the "os0".."os12" keys allow, in bit order. A row names the major and minor version,
// whether it needs the NT platform, and the range of builds (low 16 bits) it accepts. Windows 98
// and 98 SE share build 2183, so that build satisfies both rows; Windows 11 is 10.0 from build
// 22000. Server editions share the numbers of their desktop twins and pass the same rows.
struct OsRow {
  uint32_t major, minor;
  bool needsNt;
  uint32_t lowBuild, highBuild;
};

constexpr OsRow kOsRows[kOsCount] = {
    {4, 10, false, 0, 2183},       // Windows 98
    {4, 10, false, 2183, 0xFFFF},  // Windows 98 Second Edition
    {4, 90, false, 0, 0xFFFF},     // Windows Me
    {4, 0, false, 0, 0xFFFF},      // Windows 95 / NT 4.0
    {5, 0, false, 0, 0xFFFF},      // Windows 2000
    {5, 1, true, 0, 0xFFFF},       // Windows XP
    {5, 2, true, 0, 0xFFFF},       // Windows Server 2003
    {6, 0, true, 0, 0xFFFF},       // Windows Vista
    {6, 1, true, 0, 0xFFFF},       // Windows 7
    {6, 2, true, 0, 0xFFFF},       // Windows 8
    {6, 3, true, 0, 0xFFFF},       // Windows 8.1
    {10, 0, true, 0, 21999},       // Windows 10
    {10, 0, true, 22000, 0xFFFF},  // Windows 11
};

struct ColorDepth {
  const char* text;
  int bitsPerPixel;
};

constexpr ColorDepth kColorDepths[] = {
    {"32bit colors", 32},
    {"24bit colors", 24},
    {"65.636 colors", 16},
    {"256 colors", 8},
};

RequiredValues ReadRequiredValues(const ProjectSettings& settings) {
  RequiredValues values;
  values.processor = settings.ReadSetting(kSystemSection, "1", kCountBuffer);
  values.ram = settings.ReadSetting(kSystemSection, "2", kCountBuffer);
  values.screen = settings.ReadSetting(kSystemSection, "3", kCountBuffer);
  values.colors = settings.ReadSetting(kSystemSection, "4", kCountBuffer);
  for (int bit = 0; bit < kOsCount; ++bit) {
    if (IsYes(settings.ReadSetting(kSystemSection, "os" + std::to_string(bit), kCountBuffer))) {
      values.osMask |= 1 << bit;
    }
  }
  return values;
}

std::string RequirementMessage(const LanguageFile& language,
                               const std::function<std::string(const std::string&)>& expand, int requirement) {
  std::string message = expand(language.Text(kMessageSection, std::to_string(requirement)));
  return message.empty() ? expand(kBuiltInMessages[requirement]) : message;
}

bool OsRowMatches(const OsRow& row, const OsVersion& version) {
  uint32_t build = version.build & 0xFFFF;
  return version.major == row.major && version.minor == row.minor &&
         (!row.needsNt || version.platformId == kPlatformNt) && build >= row.lowBuild && build <= row.highBuild;
}

CheckResult Skipped(const std::string& value) { return {Outcome::kSkip, value, ""}; }

CheckResult CheckOs(int mask, const SystemInfo& system) {
  const OsVersion version = system.Version();
  CheckResult result{Outcome::kSkip, std::to_string(mask),
                     std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                         std::to_string(version.build & 0xFFFF)};
  if ((mask & kAllOldOs) == kAllOldOs) return result;
  result.outcome = Outcome::kFail;
  for (int bit = 0; bit < kOsCount; ++bit) {
    if ((mask & (1 << bit)) && OsRowMatches(kOsRows[bit], version)) result.outcome = Outcome::kPass;
  }
  return result;
}

// Installed megabytes are rounded down and one added, so a machine whose firmware keeps part of
// its 64 MB back still counts as having 64.
CheckResult CheckRam(const std::string& value, const SystemInfo& system) {
  if (value == "Any") return Skipped(value);
  std::string number = value;
  ReplaceAll(number, " MB", "");
  const uint64_t required = static_cast<uint64_t>(ToNumber(number));
  const uint64_t installed = system.TotalPhysicalMemory() / kBytesPerMegabyte + 1;
  return {installed < required ? Outcome::kFail : Outcome::kPass, std::to_string(required),
          std::to_string(installed)};
}

// "800x600"; a value without the "x" asks for nothing.
CheckResult CheckScreen(const std::string& value, const SystemInfo& system) {
  if (value == "checkSCREEN" || value == "Any resolution") return Skipped(value);
  int width = 0, height = 0;
  size_t x = value.find('x');
  if (x != std::string::npos) {
    width = ToNumber(value.substr(0, x));
    height = ToNumber(value.substr(x + 1));
  }
  const int actualWidth = system.ScreenWidth(), actualHeight = system.ScreenHeight();
  bool tooSmall = actualWidth < width || actualHeight < height;
  return {tooSmall ? Outcome::kFail : Outcome::kPass, std::to_string(width) + "x" + std::to_string(height),
          std::to_string(actualWidth) + "x" + std::to_string(actualHeight)};
}

// An unrecognised colour text asks for nothing.
CheckResult CheckColors(const std::string& value, const SystemInfo& system) {
  if (value == "Any colors") return Skipped(value);
  int required = 0;
  for (const ColorDepth& depth : kColorDepths) {
    if (value == depth.text) required = depth.bitsPerPixel;
  }
  const int actual = system.BitsPerPixel();
  return {actual < required ? Outcome::kFail : Outcome::kPass, std::to_string(required), std::to_string(actual)};
}

// A processor that cannot identify itself is given the benefit of the doubt.
CheckResult CheckProcessor(const std::string& value, const SystemInfo& system) {
  if (value == "All Processors") return Skipped(value);
  CCpuInfo cpu;
  if (!cpu.Identify(system)) return {Outcome::kPass, value, "unavailable"};
  const std::string name = cpu.Name();
  return {name.find(value) == std::string::npos ? Outcome::kFail : Outcome::kPass, value, name};
}

CheckResult RunCheck(int requirement, const RequiredValues& values, const SystemInfo& system) {
  switch (requirement) {
    case kOs: return CheckOs(values.osMask, system);
    case kRam: return CheckRam(values.ram, system);
    case kScreen: return CheckScreen(values.screen, system);
    case kColors: return CheckColors(values.colors, system);
    default: return CheckProcessor(values.processor, system);
  }
}

const char* OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSkip: return "skip";
    case Outcome::kPass: return "pass";
    default: return "fail";
  }
}

void TraceCheck(Trace& trace, int requirement, const CheckResult& result) {
  trace.Write("requirements", "check",
              {{"name", kRequirementNames[requirement]}, {"required", result.required},
               {"actual", result.actual}, {"result", OutcomeText(result.outcome)}});
}

// The order the checks run in; a later check is not made once one has failed.
constexpr Requirement kCheckOrder[] = {kOs, kRam, kScreen, kColors, kProcessor};

}  // namespace

bool AllowsTodaysWindows(const ProjectSettings& settings) {
  const int mask = ReadRequiredValues(settings).osMask;
  return (mask & kAllOldOs) == kAllOldOs || (mask & ~kAllOldOs) != 0;
}

bool CheckRequirements(const ProjectSettings& settings, const LanguageFile& language,
                       const std::function<std::string(const std::string&)>& expand, const SystemInfo& system,
                       FixedDialogs& dialogs, Trace& trace) {
  const RequiredValues values = ReadRequiredValues(settings);
  std::string messages[kRequirementCount];
  for (int requirement = 0; requirement < kRequirementCount; ++requirement) {
    messages[requirement] = RequirementMessage(language, expand, requirement);
  }

  for (Requirement requirement : kCheckOrder) {
    const CheckResult result = RunCheck(requirement, values, system);
    TraceCheck(trace, requirement, result);
    if (result.outcome == Outcome::kFail) {
      trace.Write("requirements", "done", {{"result", "fail"}, {"failed", kRequirementNames[requirement]}});
      dialogs.ShowError(messages[requirement]);
      return false;
    }
  }
  trace.Write("requirements", "done", {{"result", "pass"}});
  return true;
}

}  // namespace tw
