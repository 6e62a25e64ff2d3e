// Writing a file so that its destination is never half-written: the bytes go to a temporary file
// in the destination's own folder, which replaces the destination in one move once complete.
#pragma once
#include <string>

namespace tw {

class FileSystem;
class StampedFile;

class StagedFile {
 public:
  StagedFile(FileSystem& files, std::string destination);
  // With a temporary file of its own choosing, beside the destination.
  StagedFile(FileSystem& files, std::string destination, std::string temp);
  // Deletes the temporary file unless it was moved into place: a failure, a cancel or an
  // exception leaves the destination as it was and nothing beside it.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Where to write the bytes: beside the destination, so the final move stays on one volume.
  const std::string& TempPath() const { return temp_; }
  const std::string& Destination() const { return destination_; }
  // Moves the temporary file over the destination. False when the destination is in use or
  // read-only; the temporary file then stays, so the move can be tried again.
  bool Commit();
  // Commit, but what is at the destination is first moved aside to keepAs (a rename, never a
  // copy) rather than replaced, and moved back when the new file cannot follow. A read-only file
  // there is moved aside all the same and keeps the attribute; a folder there refuses.
  bool CommitKeeping(const std::string& keepAs);
  // Whether the last CommitKeeping or CommitOpenKeeping kept the file that was there.
  bool KeptOriginal() const { return keptOriginal_; }
  // Whether it failed only because keepAs is taken, so that another name may do.
  bool KeepNameTaken() const { return keepNameTaken_; }
  // Moves the temporary file to the destination only where nothing is yet, without the checks a
  // replacement needs. False when something is there (it is left alone) or the move fails.
  bool CommitToEmpty();
  // The same for the temporary file still open: it is moved, then closed. When the move does not
  // happen the file stays open where it was.
  bool CommitOpen(StampedFile& file);
  // CommitKeeping for the temporary file still open, over a plain file there: that file keeps its
  // data under keepAs, a second name of it (no data moves), and the open file takes its place and
  // is closed. False, the file still open and nothing changed, when the destination is missing, a
  // folder, a link or read-only, when keepAs is taken, or when the volume or a program holding the
  // file will not let it be done; CommitKeeping is the long way. A second name that cannot be
  // taken back at once is set to go at the next start.
  bool CommitOpenKeeping(StampedFile& file, const std::string& keepAs);
  // Deletes the temporary file now.
  void Discard();

 private:
  FileSystem& files_;
  std::string destination_, temp_;
  bool committed_ = false;
  bool keptOriginal_ = false;
  bool keepNameTaken_ = false;
};

// Deletes a temporary file left by an unfinished write, whatever attributes it was given.
void RemoveStagedFile(FileSystem& files, const std::string& temp);

// The temporary name used for destination: the same name with ".~tw" added.
std::string StagedPathFor(const std::string& destination);

}  // namespace tw
