// The temporary-file-and-move write shared by the payload copy and downloads.
#include "support/staged_file.h"

#include <optional>

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace tw {

std::string StagedPathFor(const std::string& destination) { return destination + ".~tw"; }

StagedFile::StagedFile(FileSystem& files, std::string destination)
    : files_(files), destination_(std::move(destination)), temp_(StagedPathFor(destination_)) {}

StagedFile::StagedFile(FileSystem& files, std::string destination, std::string temp)
    : files_(files), destination_(std::move(destination)), temp_(std::move(temp)) {}

StagedFile::~StagedFile() {
  if (!committed_) Discard();
}

bool StagedFile::Commit() {
  committed_ = files_.Replace(temp_, destination_);
  return committed_;
}

bool StagedFile::CommitKeeping(const std::string& keepAs) {
  keptOriginal_ = keepNameTaken_ = false;
  std::optional<uint32_t> attributes = files_.Attributes(destination_);
  if (!attributes) return Commit();
  // A folder is refused by the replacement itself, which says why. A read-only file is let go (the
  // kept one keeps the attribute, and has it again when it is put back).
  if (*attributes & kAttrFolder) return Commit();
  const bool readOnly = (*attributes & kAttrReadOnly) != 0;
  if (readOnly && !files_.SetAttributes(destination_, *attributes & ~kAttrReadOnly)) return false;
  // Putting things back after a failed move must not hide why the move failed.
  if (!files_.Move(destination_, keepAs)) {
    const KeepSystemError reason;
    keepNameTaken_ = files_.Exists(keepAs);  // then another name may do
    if (readOnly) files_.SetAttributes(destination_, *attributes);
    return false;
  }
  if (!files_.Move(temp_, destination_)) {
    const KeepSystemError reason;
    files_.Move(keepAs, destination_);
    if (readOnly) files_.SetAttributes(destination_, *attributes);
    return false;
  }
  if (readOnly) files_.SetAttributes(keepAs, *attributes);
  keptOriginal_ = committed_ = true;
  return true;
}

bool StagedFile::CommitToEmpty() {
  committed_ = files_.Move(temp_, destination_);
  return committed_;
}

bool StagedFile::CommitOpen(StampedFile& file) {
  committed_ = file.MoveTo(destination_, false) && file.Close();
  return committed_;
}

bool StagedFile::CommitOpenKeeping(StampedFile& file, const std::string& keepAs) {
  keptOriginal_ = keepNameTaken_ = false;
  std::optional<uint32_t> attributes = files_.Attributes(destination_);
  if (!attributes || (*attributes & (kAttrFolder | kAttrReadOnly | kAttrReparsePoint))) return false;
  if (!files_.HardLink(destination_, keepAs)) {
    const KeepSystemError reason;
    keepNameTaken_ = files_.Exists(keepAs);
    return false;
  }
  if (!file.MoveTo(destination_, true)) {
    // Held open by a program that does not share deletion, the second name may not go now.
    if (files_.Remove(keepAs) != Removal::kRemoved) files_.RemoveAtRestart(keepAs);
    return false;
  }
  keptOriginal_ = committed_ = true;
  return file.Close();
}

void StagedFile::Discard() { RemoveStagedFile(files_, temp_); }

void RemoveStagedFile(FileSystem& files, const std::string& temp) {
  if (!files.Exists(temp)) return;
  // A stored read-only attribute may already sit on the temporary file.
  files.SetAttributes(temp, kAttrNormal);
  files.Remove(temp);
}

}  // namespace tw
