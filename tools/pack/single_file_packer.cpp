// Writes the single file in one pass: each byte is hashed as it is written, so the digests in the
// trailer are of exactly what was written.
#include "single_file_packer.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sstream>
#include <unistd.h>

#include "crypt/appended_files.h"
#include "crypt/sha.h"
#include "install/cabinet_head.h"
#include "install/payload_stream.h"
#include "payload_packer.h"
#include "project/project_settings.h"

namespace fs = std::filesystem;

namespace tw::pack {
namespace {

constexpr char kCabinetName[] = "file1.cab";

// Copies from into out, feeding each piece to both digests.
uint64_t CopyHashing(const fs::path& from, std::ofstream& out, CSHA& whole, CSHA& own) {
  std::ifstream in(from, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + from.string());
  std::string chunk(1 << 16, '\0');
  uint64_t total = 0;
  while (in.read(&chunk[0], static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    const auto got = in.gcount();
    out.write(chunk.data(), got);
    whole.AddData(chunk.data(), static_cast<int>(got));
    own.AddData(chunk.data(), static_cast<int>(got));
    total += static_cast<uint64_t>(got);
  }
  return total;
}

Sha256 Finish(CSHA& sha, uint64_t size) {
  if (size == 0) {
    std::istringstream none;
    return *HashRange(none, 0, 0);
  }
  Sha256 digest{};
  sha.FinalDigest(digest.data());
  return digest;
}

// The name as setup stores it: relative to the output folder, "\\" between folders.
std::string StoredName(const PackOptions& options, const fs::path& file) {
  std::string name = fs::relative(file, options.outDir).generic_string();
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The stamp goes into the DOS header's reserved words, which must be free.
void CheckStampFree(const fs::path& setupExe) {
  std::ifstream in(setupExe, std::ios::binary);
  std::string header(kStampOffset + kStampSize, '\0');
  if (!in.read(&header[0], static_cast<std::streamsize>(header.size())) || header.compare(0, 2, "MZ") != 0)
    throw std::runtime_error(setupExe.string() + " is not a Windows program");
  if (header.find_first_not_of('\0', kStampOffset) != std::string::npos)
    throw std::runtime_error(setupExe.string() + " already carries data in its DOS header's reserved words "
                             "(is it a single file already?); give the setup program as built");
}

// The cabinet's start that holds its headers and support files, checked by setup before its pages.
AppendedFile CabinetHead(const fs::path& cabinet, const AppendedFile& whole) {
  std::ifstream in(cabinet, std::ios::binary);
  const auto support = [](const std::string& name) { return !IsPayloadMemberName(name); };
  const std::optional<uint64_t> size = CabinetHeadSize(in, whole.size, support);
  if (!size) throw std::runtime_error(cabinet.string() + " cannot be read back as one cabinet");
  AppendedFile head = whole;
  head.payload = false;
  head.head = true;
  head.size = *size;
  head.sha256 = *HashRange(in, 0, *size);
  return head;
}

}  // namespace

fs::path SingleFilePath(const PackOptions& options) {
  const std::string product = ProjectSettings(ReadText(options.projectDir / "setup.inf")).ReadSetting("APPINFO", "a1");
  std::string name;
  for (unsigned char c : product) name += std::isalnum(c) || c == '-' || c == '_' || c == '.' ? static_cast<char>(c) : '-';
  if (name.empty()) name = "product";
  return options.outDir / (name + "-setup.exe");
}

void CheckSingleFile(const PackOptions& options) {
  if (!options.singleFile) return;
  if (options.setupExe.empty())
    throw std::runtime_error("--single-file needs --setup: the single file is that setup program with the product inside");
  if (options.layout != PayloadLayout::kCabinet)
    throw std::runtime_error("--single-file packs a cabinet build only; leave out --disk-image and --split");
}


void PackSingleFile(const PackOptions& options, const std::vector<fs::path>& packed, const WroteFile& wrote) {
  CheckStampFree(options.setupExe);
  const fs::path target = SingleFilePath(options);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + target.string());
  CSHA whole;
  AppendedTrailer trailer;
  const std::string image = ReadText(options.setupExe);
  out.write(image.data(), static_cast<std::streamsize>(image.size()));
  const std::string digested = DigestedImage(image);
  whole.AddData(digested.data(), static_cast<int>(digested.size()));
  trailer.dataStart = image.size();
  uint64_t position = trailer.dataStart;
  for (const fs::path& file : packed) {
    const std::string name = StoredName(options, file);
    if (name == "setup.exe" || file == target) continue;
    CSHA own;
    AppendedFile entry;
    entry.name = name;
    entry.offset = position;
    entry.size = CopyHashing(file, out, whole, own);
    entry.sha256 = Finish(own, entry.size);
    entry.payload = name == kCabinetName;
    position += entry.size;
    trailer.files.push_back(entry);
    if (entry.payload) trailer.files.push_back(CabinetHead(file, entry));
  }
  trailer.prefixSha256 = Finish(whole, position);
  const std::string encoded = EncodeTrailer(trailer, position);
  out.write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
  out.seekp(static_cast<std::streamoff>(kStampOffset));
  const std::string stamp = EncodeStamp({trailer.dataStart, position - trailer.dataStart + encoded.size()});
  out.write(stamp.data(), static_cast<std::streamsize>(stamp.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + target.string());
  wrote(target);
}

void SignFile(const PackOptions& options, const fs::path& file) {
  const char* password = options.signPasswordEnv.empty() ? nullptr : std::getenv(options.signPasswordEnv.c_str());
  if (!options.signPasswordEnv.empty() && !password)
    throw std::runtime_error("--sign-password-env names " + options.signPasswordEnv + ", which is not set");
  const fs::path signedFile = file.string() + ".signed";
  // The password reaches the tool through a private file, never a command line other processes
  // could list.
  std::string passFile;
  if (password) {
    char name[] = "/tmp/tarnwick-pass-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("cannot hand the signing password to osslsigncode");
    const std::string text = password;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    passFile = name;
    if (!written) {
      fs::remove(passFile);
      throw std::runtime_error("cannot hand the signing password to osslsigncode");
    }
  }
  std::string command = "osslsigncode sign -pkcs12 " + Quoted(options.signPfx.string()) + " -h sha256";
  if (password) command += " -readpass " + Quoted(passFile);
  if (!options.timestampUrl.empty()) command += " -ts " + Quoted(options.timestampUrl);
  command += " -in " + Quoted(file.string()) + " -out " + Quoted(signedFile.string()) + " 2>&1";
  FILE* tool = popen(command.c_str(), "r");
  if (!tool) {
    if (!passFile.empty()) fs::remove(passFile);
    throw std::runtime_error("cannot start osslsigncode");
  }
  std::string said;
  char line[512];
  while (std::fgets(line, sizeof line, tool)) said += line;
  const int status = pclose(tool);
  if (!passFile.empty()) fs::remove(passFile);
  if (status != 0 || !fs::is_regular_file(signedFile)) {
    fs::remove(signedFile);
    throw std::runtime_error("signing " + file.string() + " failed" + (said.empty() ? std::string() : ": " + said));
  }
  fs::rename(signedFile, file);
}

}  // namespace tw::pack
