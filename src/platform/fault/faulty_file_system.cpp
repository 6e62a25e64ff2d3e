#include "platform/fault/faulty_file_system.h"

#include <streambuf>
#include <vector>
#include <utility>

namespace tw {
namespace {

std::string Pair(const std::string& from, const std::string& to) { return from + "|" + to; }

// Each Write is one call of the Write kind; a failed one leaves the file as it was and the next one
// is tried again, as the uninstall log reopens and writes on.
class FaultyAppendFile : public AppendFile {
 public:
  FaultyAppendFile(FaultyFileSystem& files, std::unique_ptr<AppendFile> inner, std::string path)
      : files_(files), inner_(std::move(inner)), path_(std::move(path)) {}
  bool Write(const std::string& data) override {
    return !files_.Fails(FsOp::Write, path_) && inner_->Write(data);
  }

 private:
  FaultyFileSystem& files_;
  std::unique_ptr<AppendFile> inner_;
  std::string path_;
};

// A failed write stays failed, as the seam's contract has it: later writes, the move and the close
// all answer false. The wrapped file is still closed (the system lets a handle go even when its last
// write failed), but what it holds is then not the whole file.
class FaultyStampedFile : public StampedFile {
 public:
  FaultyStampedFile(FaultyFileSystem& files, std::unique_ptr<StampedFile> inner, std::string path)
      : files_(files), inner_(std::move(inner)), path_(std::move(path)) {}
  bool Write(const char* data, size_t size) override {
    if (failed_) return false;
    if (files_.Fails(FsOp::Write, path_)) failed_ = true;
    return !failed_ && inner_->Write(data, size);
  }
  bool Close() override {
    if (closed_) return closeResult_;
    closed_ = true;
    if (!failed_ && files_.Fails(FsOp::Write, path_)) failed_ = true;
    if (failed_) {
      KeepSystemError keep;  // the injected reason, not whatever the release leaves
      inner_->Close();
    }
    closeResult_ = !failed_ && inner_->Close();
    return closeResult_;
  }
  bool MoveTo(const std::string& destination, bool replace) override {
    if (failed_ || closed_ || files_.Fails(FsOp::Move, Pair(path_, destination))) return false;
    if (!inner_->MoveTo(destination, replace)) return false;
    path_ = destination;
    return true;
  }

 private:
  FaultyFileSystem& files_;
  std::unique_ptr<StampedFile> inner_;
  std::string path_;
  bool failed_ = false;
  bool closed_ = false;
  bool closeResult_ = false;
};

// Buffers what the stream is given and hands it on a block at a time, each block one call of the
// Write kind. Once one fails nothing more reaches the wrapped stream and the stream goes bad.
class FaultyWriteBuffer : public std::streambuf {
 public:
  FaultyWriteBuffer(FaultyFileSystem& files, std::unique_ptr<std::ostream> inner, std::string path)
      : files_(files), inner_(std::move(inner)), path_(std::move(path)), buffer_(kBlock) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }

 protected:
  int overflow(int c) override {
    if (!HandOn()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }
  int sync() override { return HandOn() && inner_->flush() ? 0 : -1; }

 private:
  static constexpr size_t kBlock = 64 * 1024;

  bool HandOn() {
    const std::streamsize size = pptr() - pbase();
    if (failed_) return false;
    if (size > 0) {
      failed_ = files_.Fails(FsOp::Write, path_) || !inner_->write(pbase(), size);
      setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    return !failed_;
  }

  FaultyFileSystem& files_;
  std::unique_ptr<std::ostream> inner_;
  std::string path_;
  std::vector<char> buffer_;
  bool failed_ = false;
};

// Hands on what is still buffered when it is let go, as a file stream flushes as it closes.
class FaultyWriteStream : public std::ostream {
 public:
  FaultyWriteStream(FaultyFileSystem& files, std::unique_ptr<std::ostream> inner, std::string path)
      : std::ostream(nullptr), buffer_(files, std::move(inner), std::move(path)) {
    rdbuf(&buffer_);
  }
  ~FaultyWriteStream() override { buffer_.pubsync(); }

 private:
  FaultyWriteBuffer buffer_;
};

}  // namespace

bool FaultyFileSystem::MakeFolder(const std::string& path) {
  return !Fails(FsOp::MakeFolder, path) && inner_.MakeFolder(path);
}

bool FaultyFileSystem::MakePrivateFolder(const std::string& path) {
  return !Fails(FsOp::MakeFolder, path) && inner_.MakePrivateFolder(path);
}

bool FaultyFileSystem::RemoveFolder(const std::string& path) {
  return !Fails(FsOp::Remove, path) && inner_.RemoveFolder(path);
}

TreeRemoval FaultyFileSystem::RemoveTree(const std::string& path, LeftInUse leftInUse) {
  if (!Fails(FsOp::RemoveTree, path)) return inner_.RemoveTree(path, leftInUse);
  TreeRemoval refused;
  refused.refused = 1;
  return refused;
}

bool FaultyFileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  return !Fails(FsOp::Copy, Pair(from, to)) && inner_.Copy(from, to, replace);
}

bool FaultyFileSystem::Move(const std::string& from, const std::string& to) {
  return !Fails(FsOp::Move, Pair(from, to)) && inner_.Move(from, to);
}

bool FaultyFileSystem::Replace(const std::string& from, const std::string& to) {
  return !Fails(FsOp::Move, Pair(from, to)) && inner_.Replace(from, to);
}

Removal FaultyFileSystem::Remove(const std::string& path) {
  return Fails(FsOp::Remove, path) ? Removal::kRefused : inner_.Remove(path);
}

Removal FaultyFileSystem::RemoveOwn(const std::string& path) {
  return Fails(FsOp::Remove, path) ? Removal::kRefused : inner_.RemoveOwn(path);
}

bool FaultyFileSystem::HardLink(const std::string& existing, const std::string& link) {
  return !Fails(FsOp::Link, Pair(existing, link)) && inner_.HardLink(existing, link);
}

bool FaultyFileSystem::RemoveAtRestart(const std::string& path) {
  return !Fails(FsOp::AtRestart, path) && inner_.RemoveAtRestart(path);
}

bool FaultyFileSystem::ReplaceAtRestart(const std::string& from, const std::string& to) {
  return !Fails(FsOp::AtRestart, Pair(from, to)) && inner_.ReplaceAtRestart(from, to);
}

bool FaultyFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  return !Fails(FsOp::Attributes, path) && inner_.SetAttributes(path, attributes);
}

std::optional<std::string> FaultyFileSystem::ReadAll(const std::string& path) const {
  if (Fails(FsOp::Read, path)) return std::nullopt;
  return inner_.ReadAll(path);
}

std::optional<std::string> FaultyFileSystem::ReadText(const std::string& path) const {
  if (Fails(FsOp::Read, path)) return std::nullopt;
  return inner_.ReadText(path);
}

bool FaultyFileSystem::WriteAll(const std::string& path, const std::string& data) {
  return !Fails(FsOp::Write, path) && inner_.WriteAll(path, data);
}

bool FaultyFileSystem::Append(const std::string& path, const std::string& data) {
  return !Fails(FsOp::Write, path) && inner_.Append(path, data);
}

std::unique_ptr<std::istream> FaultyFileSystem::OpenRead(const std::string& path) const {
  if (Fails(FsOp::Read, path)) return nullptr;
  return inner_.OpenRead(path);
}

std::unique_ptr<std::ostream> FaultyFileSystem::OpenWrite(const std::string& path) {
  if (Fails(FsOp::Write, path)) return nullptr;
  std::unique_ptr<std::ostream> inner = inner_.OpenWrite(path);
  if (!inner) return nullptr;
  return std::make_unique<FaultyWriteStream>(*this, std::move(inner), path);
}

std::unique_ptr<AppendFile> FaultyFileSystem::OpenAppend(const std::string& path) {
  if (Fails(FsOp::Write, path)) return nullptr;
  std::unique_ptr<AppendFile> inner = inner_.OpenAppend(path);
  if (!inner) return nullptr;
  return std::make_unique<FaultyAppendFile>(*this, std::move(inner), path);
}

std::unique_ptr<StampedFile> FaultyFileSystem::CreateStamped(const std::string& path, const FileStamp& stamp) {
  if (Fails(FsOp::Write, path)) return nullptr;
  std::unique_ptr<StampedFile> inner = inner_.CreateStamped(path, stamp);
  if (!inner) return nullptr;
  return std::make_unique<FaultyStampedFile>(*this, std::move(inner), path);
}

}  // namespace tw
