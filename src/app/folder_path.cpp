#include "app/folder_path.h"

#include <cctype>

#include "platform/platform.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace tw {
namespace {

bool IsEdgeCharacter(char c) { return c == '\t' || c == ' ' || c == '.'; }

bool IsValidPart(const std::string& part) {
  if (part.empty() || IsEdgeCharacter(part.front()) || IsEdgeCharacter(part.back())) return false;
  return part.find_first_of("\"*/:<>?\\|") == std::string::npos;
}

}  // namespace

bool IsValidFolderPath(const std::string& path) {
  if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' || path[2] != '\\')
    return false;
  if (path.size() == 3) return true;
  if (path.back() == '\\') return false;
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (!IsValidPart(path.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

std::string InvalidFolderMessage(const std::string& path) {
  return "The folder:\n\n" + path + "\n\nis invalid. Please reenter.";
}

std::string CreateFolderQuestion(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}

std::string FolderNotCreatedMessage(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}

bool AcceptDestinationFolder(Platform& platform, const std::string& path, NativeWindow dialog,
                             std::vector<std::string>* made) {
  Ui& ui = platform.ui;
  FileSystem& files = platform.files;
  if (!IsValidFolderPath(path)) {
    ui.ShowMessageBox(InvalidFolderMessage(path), "Setup", kMbOk | kMbIconExclamation, dialog);
    return false;
  }
  if (files.IsFolder(path)) return true;
  if (ui.ShowMessageBox(CreateFolderQuestion(path), "Setup", kMbYesNo | kMbIconQuestion, dialog) != kIdYes)
    return false;
  for (size_t cut = path.find('\\', 3); ; cut = path.find('\\', cut + 1)) {
    std::string part = path.substr(0, cut);
    if (!files.IsFolder(part)) {
      ClearSystemError();
      if (!files.MakeFolder(part)) {
        const std::string reason = platform.system.ErrorText(LastSystemError());
        ui.ShowMessageBox(FolderNotCreatedMessage(path) + (reason.empty() ? "" : "\n" + reason), "Setup",
                          kMbOk | kMbIconExclamation, dialog);
        return false;
      }
      if (made) made->push_back(part);
    }
    if (cut == std::string::npos) return true;
  }
}

std::string UserProgramsFolder(const std::string& folder, const std::string& programFiles,
                               const std::string& localAppData) {
  if (programFiles.empty() || localAppData.empty()) return folder;
  std::string base = WithoutTrailingBackslash(programFiles);
  // A 32-bit program on a 64-bit system is told "Program Files (x86)"; authors write either.
  std::vector<std::string> bases{base};
  const std::string x86 = " (x86)";
  if (base.size() > x86.size() && Lower(base.substr(base.size() - x86.size())) == x86)
    bases.push_back(base.substr(0, base.size() - x86.size()));
  for (const std::string& candidate : bases) {
    const std::string lower = Lower(folder), prefix = Lower(candidate);
    if (lower == prefix || lower.rfind(prefix + "\\", 0) == 0)
      return WithoutTrailingBackslash(localAppData) + "\\Programs" + folder.substr(candidate.size());
  }
  return folder;
}

}  // namespace tw
