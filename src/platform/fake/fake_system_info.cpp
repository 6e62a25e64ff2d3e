#include "platform/fake/fake_system_info.h"

#include <cctype>

namespace tw {

FakeSystemInfo::FakeSystemInfo() {
  const std::string profile = "C:\\users\\tester";
  const std::string startMenu = profile + "\\Start Menu";
  specialFolders = {
      {2, startMenu + "\\Programs"},        {5, profile + "\\Documents"},
      {6, profile + "\\Favorites"},         {7, startMenu + "\\Programs\\Startup"},
      {9, profile + "\\SendTo"},            {11, startMenu},
      {13, profile + "\\Music"},            {16, profile + "\\Desktop"},
      {20, "C:\\windows\\Fonts"},           {26, profile + "\\AppData\\Roaming"},
      {39, profile + "\\Pictures"},         {46, "C:\\users\\Public\\Documents"},
      {28, profile + "\\AppData\\Local"},    {40, profile},
  };
  // A Pentium III Coppermine: vendor "GenuineIntel" in EBX, EDX, ECX; family 6, model 8.
  cpuLeaves[0] = {1, 0x756E6547, 0x6C65746E, 0x49656E69};
  cpuLeaves[1] = {0x683, 0, 0, 0};
}

std::string FakeSystemInfo::SpecialFolder(int csidl) const {
  auto it = specialFolders.find(csidl);
  return it == specialFolders.end() ? std::string() : it->second;
}

std::optional<std::string> FakeSystemInfo::DriveTarget(char letter) const {
  auto it = driveTargets.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
  if (it == driveTargets.end()) return std::nullopt;
  return it->second;
}

std::string FakeSystemInfo::CaseKey(const std::string& text) const {
  std::string key = text;
  for (char& c : key) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') {
      c = static_cast<char>(byte - 0x20);
    } else if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) {
      c = static_cast<char>(byte - 0x20);  // a grave to thorn, but the division sign
    } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {
      c = static_cast<char>(byte - 0x10);  // s, oe and z with their marks
    } else if (byte == 0xFF) {
      c = static_cast<char>(0x9F);
    }
  }
  return key;
}

std::optional<std::string> FakeSystemInfo::Environment(const std::string& name) const {
  auto it = environment.find(name);
  if (it == environment.end()) return std::nullopt;
  return it->second;
}

std::optional<CpuRegisters> FakeSystemInfo::CpuId(uint32_t leaf) const {
  if (cpuLeaves.empty()) return std::nullopt;
  auto it = cpuLeaves.find(leaf);
  return it == cpuLeaves.end() ? CpuRegisters{} : it->second;
}

}  // namespace tw
