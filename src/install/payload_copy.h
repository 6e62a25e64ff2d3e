// The copy loop: each payload file from the payload folder to its destination, with its filters,
// overwrite rules, retry dialog, version gate, log entry, self-registration and attributes.
#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "install/file_data.h"
#include "support/download.h"

namespace tw {

class FileSystem;
struct InstallSession;

// Fetches a URL entry to its target path and says how the transfer ended. The loop shows the
// download bar around the call.
using UrlDownloader = std::function<DownloadOutcome::Result(const std::string& url, const std::string& target)>;

// Why an entry is passed over before its file is looked at, if it is: made for another system, a
// name that could leave its folder (an empty destination), or a feature the user switched off.
enum class PassedOver { kNo, kOtherSystem, kUnsafeName, kFeatureOff };
PassedOver PassOver(const InstallSession& session, const FileEntry& entry, const std::string& destination);

// One entry of the file list as the copy treats it, decided once before the copy starts and read
// by both the copy loop and the unpacking ahead of it.
struct CopyStep {
  std::string destination;  // empty when the name could leave its folder
  PassedOver passedOver = PassedOver::kNo;
  bool download = false;    // a web entry, fetched rather than unpacked
  std::string member;       // the file's name in the payload, "F<index>_<name>"
  std::optional<size_t> job;  // its place in the unpacking ahead, when it is unpacked
};
// The steps of the whole file list; the jobs numbered in order when the payload is unpacked ahead
// (a cabinet build read in place).
std::vector<CopyStep> PlanCopy(InstallSession& session, const std::vector<FileEntry>& fileList, bool unpackedAhead);

// Copies every entry of fileList in order. False when the installation stopped: the user asked to
// cancel, chose Cancel in the retry dialog, or a critical file (copied or downloaded) failed. URL
// entries go to download; a download that did not complete (or no downloader) installs nothing,
// so the entry gets no "FILE" entry and no attributes.
bool CopyPayloadFiles(InstallSession& session, const std::vector<FileEntry>& fileList,
                      const UrlDownloader& download = {});

// How putting one file in place ended: written (the file there now is the installation's), kept
// (the version gate kept the installed file, or the user chose Ignore: what is there is not the
// installation's), or stopped (an abort, which has removed the work folder and set cancelled).
enum class CopyOutcome { kWritten, kKept, kStopped };

// Copies one file over whatever is there, asking the user on failure.
CopyOutcome CopyWithRetry(InstallSession& session, const std::string& source, const std::string& destination,
                          bool critical);

// Whether source should be copied over destination. Only libraries and controls (".dll", ".ocx")
// are gated: an installed one is replaced only by a newer packed file, or by a versioned one when
// it has no version itself; equal versions keep the installed file.
bool ShouldReplace(const FileSystem& files, const std::string& source, const std::string& destination);

// The file's "FileVersion" text (at most 250 characters); empty when it has none.
std::string ReadFileVersion(const FileSystem& files, const std::string& path);

// Compares two version texts ("1,2,3,4", "1.2.3.4", "1, 2, 3, 4") part by part as numbers: major,
// minor, build, revision, a missing part counting 0. Negative, zero or positive as a is less than,
// equal to or greater than b.
int CompareFileVersions(const std::string& a, const std::string& b);

// Writes source with its placeholders expanded into the work folder and returns that copy's path
// (the source's name with "2" appended). The source may be on read-only media. Nothing when the
// source cannot be read or the copy cannot be written: installing an empty file instead would
// destroy what was there.
std::optional<std::string> ExpandTextFile(InstallSession& session, const std::string& source);

}  // namespace tw
