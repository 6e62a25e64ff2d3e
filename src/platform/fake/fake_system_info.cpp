#include "platform/fake/fake_system_info.h"

#include <cctype>

#include "platform/text.h"

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

namespace {

// Windows-1252's characters for the bytes 0x80..0x9F; the system reads the five it leaves
// undefined as the control characters of the same number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t FromCp1252(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

std::optional<unsigned char> ToCp1252(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<unsigned char>(character);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == character) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

char32_t Upper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // a grave to thorn, but the division sign
  if (c == 0x161 || c == 0x17E) return c - 1;                 // s and z with caron
  if (c == 0x153) return 0x152;                               // oe
  if (c == 0xFF) return 0x178;                                // y with diaeresis
  return c;
}

}  // namespace

std::string FakeSystemInfo::CaseKey(const std::string& text) const {
  std::string key;
  for (char32_t c : DecodeUtf8(text)) AppendUtf8(key, Upper(c));
  return key;
}

std::string FakeStoredText(const std::string& bytes) {
  if (std::optional<std::string> marked = MarkedTextToUtf8(bytes)) return *marked;
  return Cp1252ToUtf8(bytes);
}

std::string Cp1252ToUtf8(const std::string& bytes) {
  std::string text;
  for (char byte : bytes) AppendUtf8(text, FromCp1252(static_cast<unsigned char>(byte)));
  return text;
}

std::string Utf8ToCp1252Lossy(const std::string& text) {
  std::string bytes;
  for (char32_t c : DecodeUtf8(text)) bytes += static_cast<char>(ToCp1252(c).value_or('?'));
  return bytes;
}

std::string FakeSystemInfo::AnsiToUtf8(const std::string& bytes) const { return Cp1252ToUtf8(bytes); }

std::optional<std::string> FakeSystemInfo::Utf8ToAnsi(const std::string& text) const {
  std::string bytes;
  for (char32_t c : DecodeUtf8(text)) {
    std::optional<unsigned char> byte = ToCp1252(c);
    if (!byte) return std::nullopt;
    bytes += static_cast<char>(*byte);
  }
  return bytes;
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

std::string FakeSystemInfo::ErrorText(SystemError error) const {
  static const std::map<uint32_t, const char*> texts = {
      {kErrorFileNotFound, "The system cannot find the file specified"},
      {kErrorPathNotFound, "The system cannot find the path specified"},
      {kErrorAccessDenied, "Access is denied"},
      {kErrorInvalidHandle, "The handle is invalid"},
      {kErrorNotEnoughMemory, "Not enough memory resources are available to process this command"},
      {kErrorWriteFault, "The system cannot write to the specified device"},
      {kErrorSharingViolation, "The process cannot access the file because it is being used by another process"},
      {kErrorLockViolation,
       "The process cannot access the file because another process has locked a portion of the file"},
      {kErrorFileExists, "The file exists"},
      {kErrorDiskFull, "There is not enough space on the disk"},
      {kErrorDirNotEmpty, "The directory is not empty"},
      {kErrorInvalidName, "The filename, directory name, or volume label syntax is incorrect"},
      {kErrorDirectory, "The directory name is invalid"},
      {kErrorAlreadyExists, "Cannot create a file when that file already exists"},
      {kErrorModNotFound, "The specified module could not be found"},
      {kErrorNetworkNotReady, "The network subsystem is unavailable"},
      {kErrorServiceDoesNotExist, "The specified service does not exist as an installed service"},
      {kErrorServiceExists, "The specified service already exists"},
      {kErrorInternetTimeout, "The operation timed out"},
      {kErrorInternetNameNotResolved, "The server name or address could not be resolved"},
      {kErrorInternetCannotConnect, "A connection with the server could not be established"},
      {kErrorInternetConnectionAborted, "The connection with the server was terminated abnormally"},
  };
  auto found = texts.find(error.code);
  return found == texts.end() ? std::string() : found->second;
}

}  // namespace tw
