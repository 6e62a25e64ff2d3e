// Reading data.inf into file records, and creating the folders the installation will copy into.
#include "install/file_data.h"

#include <algorithm>
#include <cstdint>

#include "project/host_flags.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {

std::string Cut(const std::string& text) { return Utf8Prefix(text, kFileEntryText); }

// The next field of a record: the text before separator, which is then consumed. Without the
// separator the field is empty and the rest stays for the fields after it.
std::string TakeField(std::string& rest, char separator) {
  size_t cut = rest.find(separator);
  if (cut == std::string::npos) return std::string();
  std::string field = rest.substr(0, cut);
  rest.erase(0, cut + 1);
  return field;
}

// The distinct destinations in order of first appearance, compared exactly, up to kMaxFolders. A
// feature the user switched off brings no folders of its own.
std::vector<std::string> DistinctFolders(InstallSession& session, const std::vector<FileEntry>& fileList) {
  std::vector<std::string> folders;
  for (const FileEntry& entry : fileList) {
    if (!session.FeatureAllows(entry.feature)) continue;
    std::string folder = WithoutTrailingBackslash(entry.destination);
    if (std::find(folders.begin(), folders.end(), folder) != folders.end()) continue;
    if (folders.size() == kMaxFolders) {
      session.trace.Write("install", "folder-refused", {{"folder", folder}, {"limit", std::to_string(kMaxFolders)}});
      continue;
    }
    folders.push_back(folder);
  }
  return folders;
}

// Folders made for the installation before it started (a new folder typed in the folder dialog)
// are the installation's as well. Takes those at or above folder (lower case, no trailing
// backslash) out of the session's list, so each is logged once: whether folder itself is one, and
// the ones above it, the deepest first.
std::vector<std::string> TakeWizardFolders(InstallSession& session, const std::string& folder, bool& madeFolder) {
  std::vector<std::string> above;
  const std::string below = folder + "\\";
  std::vector<std::string>& wizard = session.host.FoldersMadeByWizard;
  for (size_t i = wizard.size(); i-- > 0;) {
    const std::string level = Lower(WithoutTrailingBackslash(wizard[i]));
    if (level == folder)
      madeFolder = true;
    else if (below.compare(0, level.size() + 1, level + "\\") == 0)
      above.push_back(wizard[i]);
    else
      continue;
    wizard.erase(wizard.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return above;
}

}  // namespace

std::vector<std::string> SplitDataLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t begin = 0, scanFrom = 0;
  for (;;) {
    size_t cr = text.find('\r', scanFrom);
    if (cr == std::string::npos) break;
    lines.push_back(text.substr(begin, cr - begin));
    begin = std::min(cr + 2, text.size());
    // A CR straight after the line break belongs to the next line's text; it never ends it.
    scanFrom = begin + 1;
  }
  return lines;
}

FileEntry ParseFileEntry(const std::string& sourceLine, const std::string& recordLine) {
  FileEntry entry;
  entry.source = Cut(sourceLine);
  size_t cut = sourceLine.find_last_of("\\/:");
  entry.fileName = Cut(cut == std::string::npos ? sourceLine : sourceLine.substr(cut + 1));

  std::string rest = recordLine;
  entry.destination = Cut(TakeField(rest, '*'));
  entry.flags = ToNumber(TakeField(rest, '*'));
  entry.osMask = ToNumber(TakeField(rest, '*'));
  entry.reserved = ToNumber(TakeField(rest, '|'));
  entry.feature = Cut(rest);
  return entry;
}

std::vector<FileEntry> ParseFileData(const std::string& text) {
  std::vector<std::string> lines = SplitDataLines(text);
  std::vector<FileEntry> entries;
  entries.reserve(lines.size() / 2);
  for (size_t i = 0; i + 1 < lines.size(); i += 2) entries.push_back(ParseFileEntry(lines[i], lines[i + 1]));
  return entries;
}

// The log's folder, and the folders above it that were missing; a rollback takes the log folder
// with everything in it, as nothing in a folder the run made is anyone else's.
void CreateLogFolder(InstallSession& session) {
  std::vector<std::string> made;
  CreateFolderPath(session.platform.files, session.LogDir, &made);
  const std::string folder = WithoutTrailingBackslash(session.LogDir);
  for (const std::string& level : made) session.Made(Lower(level) == Lower(folder) ? "LOGDIR" : "DIR", level);
}

void CreateLoggedFolder(InstallSession& session, const std::string& path) {
  std::vector<std::string> made;
  ClearSystemError();  // a path refused before any system call has no reason to give
  bool created = CreateFolderPath(session.platform.files, path, &made);
  const SystemError folderError = LastSystemError();
  const std::string folder = Lower(WithoutTrailingBackslash(path));
  bool madeItself = !made.empty() && Lower(made.back()) == folder;
  if (madeItself) made.pop_back();
  // A folder this run made a moment ago for another entry is the run's all the same.
  for (const std::string& level : made) session.FoldersMade.insert(Lower(level));
  if (madeItself)
    session.FoldersMade.insert(folder);
  else
    madeItself = session.FoldersMade.count(folder) > 0;
  if (created)
    session.trace.Write("install", "folder", {{"path", path}, {"result", madeItself ? "made" : "there"}});
  else
    session.trace.Write("install", "folder", {{"path", path}, {"result", "failed"}}, folderError);
  bool madeByWizard = false;
  const std::vector<std::string> madeByWizardAbove = TakeWizardFolders(session, folder, madeByWizard);
  // A rollback takes the folders above after the folder itself: they are kept first, the highest
  // first.
  std::vector<std::string> above = made;
  above.insert(above.end(), madeByWizardAbove.begin(), madeByWizardAbove.end());
  std::sort(above.begin(), above.end(), [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
  for (const std::string& level : above) session.Made("DIR", level);
  // The folders made above it follow it, so the install folder stays the log's first folder.
  session.LogIfOwned("DIR", path, madeItself || madeByWizard);
  for (const std::string& level : made) session.WriteLogEntry("DIR", level);
  for (const std::string& level : madeByWizardAbove) session.WriteLogEntry("DIR", level);
}

bool LoadFileData(InstallSession& session, std::vector<FileEntry>& fileList) {
  FileSystem& files = session.platform.files;
  std::optional<std::string> text = files.ReadText(session.host.DataInfPath);
  if (!text) {
    session.trace.Write("install", "data-file", {{"path", session.host.DataInfPath}, {"result", "unreadable"}},
                        LastSystemError());
    return false;
  }
  fileList = ParseFileData(*text);
  session.TotalFiles = static_cast<int>(std::min<size_t>(fileList.size(), INT32_MAX));
  session.trace.Write("install", "data-file", {{"path", session.host.DataInfPath}, {"records", std::to_string(session.TotalFiles)}});
  session.FolderList = DistinctFolders(session, fileList);

  // A preview changes nothing on the machine: no log folder, no folders of the installation.
  const bool preview = session.flags.previewMode == kOn;
  // The log's folder comes first so that the record count is the log's first line.
  if (!preview && !session.LogDir.empty()) CreateLogFolder(session);
  session.WriteLogEntry("TOTALFILE", std::to_string(session.TotalFiles));
  session.StartPriorRecord();

  session.SetStatus("Creating directories...");
  if (preview) return true;
  CreateLoggedFolder(session, session.InstallDir());
  for (std::string folder : session.FolderList) {
    ReplaceAll(folder, "Destination Computer\\", "");
    CreateLoggedFolder(session, session.Expand(folder));
  }
  return true;
}

bool CreateFolderPath(FileSystem& files, const std::string& path, std::vector<std::string>* made) {
  std::string full = path;
  while (!full.empty() && (full.back() == '\\' || full.back() == '/')) full.pop_back();
  if (full.empty() || full.size() > kMaxFolderPath) return false;
  if (files.IsFolder(full)) return true;

  // Walk down from the root, making each level that is missing. A level that can't be made (a
  // drive, a share, a file in the way) is left for the final check to judge.
  for (size_t cut = full.find_first_of("\\/", 1); cut != std::string::npos; cut = full.find_first_of("\\/", cut + 1)) {
    std::string level = full.substr(0, cut);
    if (level.empty() || level.back() == ':' || level.back() == '\\' || level.back() == '/') continue;
    if (!files.IsFolder(level) && files.MakeFolder(level) && made) made->push_back(level);
  }
  if (files.MakeFolder(full) && made) made->push_back(full);
  return files.IsFolder(full);
}

}  // namespace tw
