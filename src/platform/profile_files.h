// Profile-file service: other programs' INI files, read and written with the system's own rules
// (GetPrivateProfileStringA / WritePrivateProfileStringA on Win32). The project's own files are
// read by the portable IniDocument instead, which parses once per load.
#pragma once
#include <string>

namespace tw {

// Threads: one at a time (the fake reads and rewrites a whole file for each entry).
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;

  // The value of key in section of file; fallback when the file, section or key is missing. The
  // answer is cut to bufferSize - 1 characters, as the system reader does.
  virtual std::string ReadValue(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& fallback,
                                int bufferSize) const = 0;
  // Writes key=value into section, creating the file and section when missing.
  virtual bool WriteValue(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value) = 0;
};

}  // namespace tw
