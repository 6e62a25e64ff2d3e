// Profile-file twin: reads through the portable INI reader and writes entries the way the system's
// profile writer does, on the files of any file system (the fake one, or the one in memory), kept
// in Windows-1252 as the system keeps a profile file without a byte-order mark ("?" for a character
// the code page lacks).
#pragma once
#include "platform/file_system.h"
#include "platform/profile_files.h"

namespace tw {

class FakeProfileFiles : public ProfileFiles {
 public:
  explicit FakeProfileFiles(FileSystem& files) : files_(files) {}

  std::string ReadValue(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& fallback, int bufferSize) const override;
  bool WriteValue(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) override;

 private:
  FileSystem& files_;
};

}  // namespace tw
