// Helpers shared by the file-crypt tests: hex conversion, the raised message, seeded random bytes,
// a private temp folder per test, and whole-file read/write.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "crypt/file_crypt_error.h"

namespace tw::crypt_test {

inline std::string FromHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

inline std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

inline std::string ToHex(const unsigned char* bytes, size_t n) {
  return ToHex(std::string(reinterpret_cast<const char*>(bytes), n));
}

// The text of the FileCryptError the call raises, or "<no error>".
inline std::string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const FileCryptError& e) {
    return e.what();
  }
  return "<no error>";
}

inline std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string out(n, '\0');
  for (auto& c : out) c = static_cast<char>(rng() & 0xff);
  return out;
}

// A fresh folder under the system temp folder, removed with everything in it at scope end.
class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("tw_crypt_test_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tw::crypt_test
