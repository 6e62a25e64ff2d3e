#include "install/ownership.h"

#include <istream>
#include <vector>

#include "project/trace.h"
#include "platform/file_system.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace tw {
namespace {

const char* const kOwningKeys[] = {"DIR", "FILE", "SHORTCUT", "REGKEY", "REGVAL", "REMKEY", "NTSERVICE"};

bool NamesSomethingMade(const std::string& key) {
  for (const char* owning : kOwningKeys)
    if (key == owning) return true;
  return false;
}

}  // namespace

// Read a piece at a time, so that a small file costs a small buffer: the limits are far above what
// an installation writes, and the installation keeps its working set small.
std::optional<std::string> ReadBoundedText(const FileSystem& files, const SystemInfo& system, const std::string& path,
                                           size_t limit) {
  std::unique_ptr<std::istream> stream = files.OpenRead(path);
  if (!stream) return std::nullopt;
  std::string text;
  std::vector<char> piece(64 * 1024);
  for (;;) {
    stream->read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const size_t got = static_cast<size_t>(stream->gcount());
    if (got == 0) return MarkedTextToUtf8(text).value_or(system.AnsiToUtf8(text));
    text.append(piece.data(), got);
    if (text.size() > limit) return std::nullopt;
  }
}

PriorRecords ReadPriorRecords(const FileSystem& files, const SystemInfo& system, const std::string& logDir) {
  return ParsePriorRecords(ReadBoundedText(files, system, logDir + kPriorFileName, kMaxPriorBytes).value_or(""));
}

std::string OwnershipKey(const std::string& key, const std::string& value) { return key + "\t" + Lower(value); }

EarlierInstallation ReadEarlierInstallation(const FileSystem& files, const SystemInfo& system, Trace& trace,
                                            const std::string& logDir) {
  const std::string logPath = logDir + "uninstall.log";
  EarlierInstallation earlier;
  std::optional<std::string> log = ReadBoundedText(files, system, logPath, kMaxLogBytes);
  if (!log) return earlier;
  // A log without its record file comes from an engine that logged whatever it touched (the
  // user's folder, the system's association): its claims are not carried over.
  earlier.prior = ReadPriorRecords(files, system, logDir);
  if (!earlier.prior.headerSeen) {
    trace.Write("install", "earlier-installation",
                {{"log", logPath}, {"result", "not-trusted"}, {"reason", "no-record"}});
    return EarlierInstallation{};
  }
  for (const LogEntry& entry : ParseUninstallLog(*log).entries) {
    if (!NamesSomethingMade(entry.key) || !earlier.index.insert(OwnershipKey(entry.key, entry.value)).second) continue;
    earlier.owned.push_back(entry);
  }
  trace.Write("install", "earlier-installation",
              {{"log", logPath}, {"owned", std::to_string(earlier.owned.size())},
               {"prior-values", std::to_string(earlier.prior.values.size())},
               {"prior-skipped", std::to_string(earlier.prior.skipped)}});
  return earlier;
}

}  // namespace tw
