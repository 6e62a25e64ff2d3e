// Decryption speed of a 64 MB project file: our DecryptFile against openssl's AES-128-ECB on the
// same ciphertext (header stripped), printed side by side. Also checks both give the same bytes.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "crypt/project_key.h"
#include "crypt/rijndael_method.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMegabyte = 1024 * 1024;
constexpr size_t kSize = 64 * kMegabyte;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Report(const char* what, double seconds) {
  std::printf("%-44s %6.1f MB in %7.3f s = %8.1f MB/s\n", what, double(kSize) / kMegabyte, seconds,
              double(kSize) / kMegabyte / seconds);
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

bool SameContent(const fs::path& a, const fs::path& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  for (;;) {
    fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
    fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
    if (fa.gcount() != fb.gcount()) return false;
    if (!std::equal(ba.begin(), ba.begin() + fa.gcount(), bb.begin())) return false;
    if (fa.gcount() == 0) return true;
  }
}

int Run(const fs::path& work) {
  const fs::path plain = work / "plain.inf";
  const fs::path encrypted = work / "setup.ziv";
  const fs::path body = work / "body.bin";
  const fs::path ours = work / "ours.inf";
  const fs::path theirs = work / "openssl.inf";

  {
    std::mt19937_64 rng(2024);
    std::vector<uint64_t> block(kMegabyte / 8);
    std::ofstream out(plain, std::ios::binary);
    for (size_t done = 0; done < kSize; done += kMegabyte) {
      for (auto& w : block) w = rng();
      out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(kMegabyte));
    }
  }

  tw::CRijndaelMethod method;
  tw::InitProjectKey(method);
  auto start = std::chrono::steady_clock::now();
  method.EncryptFile(plain.string(), encrypted.string());
  Report("tarnwick EncryptFile (for reference)", Seconds(start));

  start = std::chrono::steady_clock::now();
  method.DecryptFile(encrypted.string(), ours.string());
  Report("tarnwick DecryptFile", Seconds(start));

  {
    std::ifstream in(encrypted, std::ios::binary);
    in.seekg(tw::CRijndaelMethod::kSignatureLength);
    std::ofstream out(body, std::ios::binary);
    out << in.rdbuf();
  }
  std::string keyHex;
  char hex[3];
  for (int i = 0; i < method.KeyLength(); ++i) {
    std::snprintf(hex, sizeof hex, "%02x", method.Key()[i]);
    keyHex += hex;
  }
  const std::string command = "openssl enc -d -aes-128-ecb -nopad -K " + keyHex + " -in " + Quote(body) +
                              " -out " + Quote(theirs);
  // Timed twice: as openssl runs by default (AES instructions when the CPU has them), and with the
  // AES-NI capability bit masked off, which is the software implementation we are comparable to.
  start = std::chrono::steady_clock::now();
  int rc = std::system(command.c_str());
  const double opensslSeconds = Seconds(start);
  if (rc != 0) {
    std::printf("openssl enc -d -aes-128-ecb: not available (exit %d)\n", rc);
    return 0;
  }
  Report("openssl enc -d -aes-128-ecb -nopad", opensslSeconds);
  start = std::chrono::steady_clock::now();
  rc = std::system(("OPENSSL_ia32cap='~0x200000200000000' " + command).c_str());
  if (rc == 0) Report("openssl, AES-NI masked (software AES)", Seconds(start));
  const bool same = SameContent(ours, theirs);
  std::printf("outputs %s\n", same ? "identical" : "DIFFER");
  return same ? 0 : 1;
}

}  // namespace

int main() {
  const fs::path work = fs::temp_directory_path() / ("tw_crypt_bench_" + std::to_string(std::random_device{}()));
  fs::create_directories(work);
  int rc = 1;
  try {
    rc = Run(work);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "crypt_bench: %s\n", e.what());
  }
  std::error_code ec;
  fs::remove_all(work, ec);
  return rc;
}
