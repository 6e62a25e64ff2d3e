#include "install/stored_text_file.h"

#include "platform/file_system.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace tw {

StoredTextFile::StoredTextFile(FileSystem& files, const SystemInfo& system, std::string path)
    : files_(files), system_(system), path_(std::move(path)) {}

StoredTextFile::~StoredTextFile() = default;

// A file already there (an earlier run's, appended to) keeps the form it has.
bool StoredTextFile::Open() {
  if (file_) return true;
  const std::optional<std::string> existing = files_.ReadAll(path_);
  utf8_ = existing && StartsWithUtf8Bom(*existing);
  file_ = files_.OpenAppend(path_);
  return file_ != nullptr;
}

bool StoredTextFile::TurnToUtf8() {
  const std::optional<std::string> text = files_.ReadText(path_);
  if (!text) return false;
  const std::string staged = path_ + ".~tw";
  file_.reset();  // the move needs the file closed
  if (!files_.WriteAll(staged, kUtf8Bom + *text) || !files_.Replace(staged, path_)) {
    files_.Remove(staged);
    return false;
  }
  utf8_ = true;
  return Open();
}

bool StoredTextFile::Write(const std::string& text) {
  if (!Open()) return false;
  std::optional<std::string> ansi = utf8_ ? std::nullopt : system_.Utf8ToAnsi(text);
  if (!utf8_ && !ansi && !TurnToUtf8()) {
    file_.reset();
    return false;
  }
  if (file_->Write(ansi ? *ansi : text)) return true;
  file_.reset();
  return false;
}

}  // namespace tw
