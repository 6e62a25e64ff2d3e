// libmspack behind the cabinet seam. Its file access goes through the fake file system (so Windows
// paths, case-blind names and injected faults all apply), and the set's continuation cabinets are
// asked for through the handler the way FDI asks for them.
#include "platform/fake/mspack_cabinets.h"

#include <fcntl.h>
#include <mspack.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <list>
#include <vector>

namespace tw {
namespace {

// libmspack's view of the file system; base must stay the first member.
struct FakeMspackSystem {
  mspack_system base;
  FakeFileSystem* files;
};

struct OpenFile {
  std::unique_ptr<std::istream> in;
  std::unique_ptr<std::ostream> out;
};

OpenFile& Open(mspack_file* file) { return *reinterpret_cast<OpenFile*>(file); }

mspack_file* SysOpen(mspack_system* self, const char* filename, int mode) {
  FakeFileSystem& files = *reinterpret_cast<FakeMspackSystem*>(self)->files;
  auto file = std::make_unique<OpenFile>();
  if (mode == MSPACK_SYS_OPEN_READ)
    file->in = files.OpenRead(filename);
  else if (mode == MSPACK_SYS_OPEN_WRITE)
    file->out = files.OpenWrite(filename);
  if (!file->in && !file->out) return nullptr;
  return reinterpret_cast<mspack_file*>(file.release());
}

void SysClose(mspack_file* file) { delete &Open(file); }

int SysRead(mspack_file* file, void* buffer, int bytes) {
  std::istream* in = Open(file).in.get();
  if (!in || bytes < 0) return -1;
  in->read(static_cast<char*>(buffer), bytes);
  if (in->bad()) return -1;
  return static_cast<int>(in->gcount());
}

int SysWrite(mspack_file* file, void* buffer, int bytes) {
  std::ostream* out = Open(file).out.get();
  if (!out || bytes < 0) return -1;
  return out->write(static_cast<const char*>(buffer), bytes).good() ? bytes : -1;
}

int SysSeek(mspack_file* file, off_t offset, int mode) {
  std::istream* in = Open(file).in.get();
  if (!in) return -1;
  in->clear();  // a read that met the end leaves the stream failed
  std::ios::seekdir from = mode == MSPACK_SYS_SEEK_START ? std::ios::beg
                           : mode == MSPACK_SYS_SEEK_CUR ? std::ios::cur
                                                         : std::ios::end;
  in->seekg(offset, from);
  return in->fail() ? -1 : 0;
}

off_t SysTell(mspack_file* file) {
  std::istream* in = Open(file).in.get();
  if (!in) return -1;
  in->clear();
  return static_cast<off_t>(in->tellg());
}

void SysMessage(mspack_file*, const char*, ...) {}
void* SysAlloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void SysFree(void* pointer) { std::free(pointer); }
void SysCopy(void* from, void* to, size_t bytes) { std::memmove(to, from, bytes); }

// libmspack hands out names without the UTF-8 flag converted from Latin-1 to UTF-8; FDI gives the
// stored bytes, so they are turned back.
std::string StoredName(const mscabd_file& file) {
  std::string name = file.filename ? file.filename : "";
  if (file.attribs & MSCAB_ATTRIB_UTF_NAME) return name;
  std::string bytes;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if ((c & 0xE0) == 0xC0 && i + 1 < name.size()) {
      bytes += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(name[i + 1]) & 0x3F));
      ++i;
    } else {
      bytes += static_cast<char>(c);
    }
  }
  return bytes;
}

CabinetMember MemberOf(const mscabd_file& file) {
  CabinetMember member;
  member.name = StoredName(file);
  member.size = file.length;
  member.date = static_cast<uint16_t>(((file.date_y - 1980) << 9) | (file.date_m << 5) | file.date_d);
  member.time = static_cast<uint16_t>((file.time_h << 11) | (file.time_m << 5) | (file.time_s / 2));
  member.attributes = static_cast<uint16_t>(file.attribs);
  return member;
}

// The stored time is local time; creation time is not kept on the host, and access is left alone.
void StampTimes(const std::filesystem::path& host, const mscabd_file& file) {
  std::tm local = {};
  local.tm_year = file.date_y - 1900;
  local.tm_mon = file.date_m - 1;
  local.tm_mday = file.date_d;
  local.tm_hour = file.time_h;
  local.tm_min = file.time_m;
  local.tm_sec = file.time_s;
  local.tm_isdst = -1;
  std::time_t when = std::mktime(&local);
  if (when == static_cast<std::time_t>(-1)) return;
  timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
  utimensat(AT_FDCWD, host.c_str(), times, 0);
}

// libmspack refuses a cabinet without members, which FDI reads as an empty set (the packer writes
// one for a project without payload files).
bool IsEmptyCabinet(const FakeFileSystem& files, const std::string& path) {
  auto in = files.OpenRead(path);
  char header[36] = {};
  if (!in || !in->read(header, sizeof header)) return false;
  return std::string(header, 4) == "MSCF" && header[28] == 0 && header[29] == 0;
}

class MspackContext : public CabinetContext {
 public:
  MspackContext(FakeFileSystem& files, bool releases) : files_(files), releases_(releases) {
    system_.base = {SysOpen, SysClose, SysRead, SysWrite, SysSeek, SysTell, SysMessage, SysAlloc, SysFree, SysCopy, nullptr};
    system_.files = &files;
  }
  ~MspackContext() override { Release(); }

  bool Create() {
    decompressor_ = mspack_create_cab_decompressor(&system_.base);
    return decompressor_ != nullptr;
  }

  CabinetCheck Check(const std::string& path) override {
    if (!files_.OpenRead(path)) return CabinetCheck::kCannotOpen;
    mscabd_cabinet* cabinet = decompressor_->open(decompressor_, path.c_str());
    if (!cabinet) return IsEmptyCabinet(files_, path) ? CabinetCheck::kCabinet : CabinetCheck::kNotCabinet;
    decompressor_->close(decompressor_, cabinet);
    return CabinetCheck::kCabinet;
  }

  bool CopyAll(const std::string& folder, const std::string& cabinetName, CabinetHandler& handler) override {
    if (!decompressor_) return false;
    paths_.clear();
    paths_.push_back(folder + cabinetName);
    mscabd_cabinet* first = decompressor_->open(decompressor_, paths_.back().c_str());
    if (!first) return IsEmptyCabinet(files_, paths_.back());
    bool copied = JoinSet(folder, first, handler) && ExtractAll(*first, handler);
    decompressor_->close(decompressor_, first);  // closes every cabinet joined to it
    return copied;
  }

  bool Release() override {
    if (!decompressor_) return true;
    mspack_destroy_cab_decompressor(decompressor_);
    decompressor_ = nullptr;
    return releases_;
  }

 private:
  // libmspack wants the whole set joined before it decompresses, so every continuation cabinet is
  // asked for up front. A cabinet that is not the next of the same set counts as not found, which
  // also keeps a set whose cabinets name each other in a ring from being followed forever.
  bool JoinSet(const std::string& folder, mscabd_cabinet* last, CabinetHandler& handler) {
    while (last->flags & MSCAB_HDR_NEXTCAB) {
      const std::string name = last->nextname ? last->nextname : "";
      const std::string disk = last->nextinfo ? last->nextinfo : "";
      bool afterFailure = false;
      mscabd_cabinet* next = nullptr;
      while (!next) {
        if (!handler.OnNextCabinet(disk, folder, name, afterFailure)) return false;
        afterFailure = true;
        paths_.push_back(folder + name);
        next = decompressor_->open(decompressor_, paths_.back().c_str());
        if (!next) continue;
        bool follows = next->set_id == last->set_id && next->set_index == last->set_index + 1;
        if (!follows || decompressor_->append(decompressor_, last, next) != MSPACK_ERR_OK) {
          decompressor_->close(decompressor_, next);
          next = nullptr;
        }
      }
      last = next;
    }
    return true;
  }

  bool ExtractAll(mscabd_cabinet& first, CabinetHandler& handler) {
    int members = 0;
    for (mscabd_file* file = first.files; file; file = file->next) ++members;
    handler.OnEnumerate(members);
    for (mscabd_file* file = first.files; file; file = file->next) {
      CabinetMember member = MemberOf(*file);
      CabinetTarget target = handler.OnCopyFile(member);
      if (target.action == CabinetTarget::kSkip) continue;
      if (target.action == CabinetTarget::kAbort) return false;
      if (decompressor_->extract(decompressor_, file, target.path.c_str()) != MSPACK_ERR_OK) return false;
      StampTimes(files_.HostPath(target.path), *file);
      handler.OnFileClosed(member, target.path);
    }
    return true;
  }

  FakeFileSystem& files_;
  bool releases_;
  FakeMspackSystem system_ = {};
  mscab_decompressor* decompressor_ = nullptr;
  std::list<std::string> paths_;  // libmspack keeps the name pointers of open cabinets
};

}  // namespace

std::unique_ptr<CabinetContext> MspackCabinets::CreateContext() {
  if (!contextsCreate) return nullptr;
  auto context = std::make_unique<MspackContext>(files_, contextsRelease);
  if (!context->Create()) return nullptr;
  return context;
}

}  // namespace tw
