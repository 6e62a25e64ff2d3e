// The payload file list (data.inf): its records, how they are read, and the folders they need,
// created before anything is copied.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

class FileSystem;
struct InstallSession;

// Flag bits of a record.
enum FileFlag : int32_t {
  kFileReadOnly = 1,
  kFileReadOnlyToo = 2,  // older projects set this bit for the same purpose
  kFileHidden = 4,
  kFileSystem = 8,
  kFileCritical = 16,
  kFileNeverOverwrite = 32,
  kFilePermanent = 64,
  kFileSelfRegister = 128,
  kFileExpandText = 256,
};

// Longest text a record keeps in each of its fields.
constexpr size_t kFileEntryText = 454;
// Most destination folders one installation creates.
constexpr size_t kMaxFolders = 1600;
// Longest path CreateFolderPath makes.
constexpr size_t kMaxFolderPath = 259;

struct FileEntry {
  std::string fileName;     // the source line's last component (after "\\", "/" or ":")
  std::string source;       // the author's path, or a URL ("http:", "ftp:")
  std::string destination;  // folder, usually "Destination Computer\\<InstallDir>..."
  std::string feature;      // may be empty; "|" is ignored wherever it is used
  int32_t flags = 0;
  int32_t osMask = 0;
  int32_t reserved = 0;
};

// The lines of a text whose lines end in CR LF. Only text before a CR is a line: whatever follows
// the last CR is dropped, and the character after each CR is taken as its LF, whatever it is.
std::vector<std::string> SplitDataLines(const std::string& text);
// One record from its source line and its "destination*flags*osmask*reserved|feature" line.
FileEntry ParseFileEntry(const std::string& sourceLine, const std::string& recordLine);
// Every complete pair of lines of a data file, in order.
std::vector<FileEntry> ParseFileData(const std::string& text);

// Reads DataInfPath into fileList, logs the record count and creates the log folder, the install
// folder and every destination folder (logging those the installation owns as "DIR"); a preview
// reads the list and creates nothing. False when data.inf can't be read.
bool LoadFileData(InstallSession& session, std::vector<FileEntry>& fileList);

// Creates a folder and every missing parent; true when it exists afterwards. Every level it made
// is added to made, top first (the folder itself last), when given.
bool CreateFolderPath(FileSystem& files, const std::string& path, std::vector<std::string>* made = nullptr);

// Creates a folder of the installation and logs it as "DIR" when the installation owns it: made
// now, made for it by the wizard before it started, or made by an earlier installation of the
// product. The folders made above it follow it, top first.
void CreateLoggedFolder(InstallSession& session, const std::string& path);

}  // namespace tw
