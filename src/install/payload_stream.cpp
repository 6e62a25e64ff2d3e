// Streaming the payload out of the cabinets of a cabinet build, and the start-up's support files.
#include "install/payload_stream.h"

#include <cctype>
#include <ostream>

#include "project/host_flags.h"
#include "project/trace.h"
#include "install/cabinet_extractor.h"
#include "install/install_session.h"
#include "platform/platform.h"
#include "platform/stream_view.h"
#include "platform/text.h"

namespace tw {
namespace {

constexpr char kFirstCabinet[] = "file1.cab";
// Only read-only, hidden, system and archive survive from the stored attributes.
constexpr uint32_t kKeptAttributes = 0x27;

bool IsCabinetBuild(const InstallSession& session) {
  return session.flags.useDiskImages != kOn && session.flags.splitFiles != kOn;
}

// Opens the cabinets of the set beside setup.exe. A missing continuation cabinet is asked for, as
// the system decompressor's path does; the first one is simply missing.
// headOnly: a single-file build's start page reads only the part of its cabinet already checked.
CabinetReader::OpenCabinet CabinetsBesideSetup(InstallSession& session, bool headOnly = false) {
  return [&session, headOnly, first = true](const std::string& name, const std::string& disk) mutable -> std::unique_ptr<std::istream> {
    std::string folder = WithBackslash(session.host.SetupDir);
    bool asked = !first;
    first = false;
    // A single-file build has one cabinet, inside the program's own file; it names no other.
    const PayloadWindow& window = session.host.PayloadCabinet;
    if (!window.path.empty()) {
      std::unique_ptr<std::istream> whole = asked ? nullptr : session.platform.files.OpenRead(window.path);
      if (!whole) return nullptr;
      const uint64_t size = headOnly && window.headSize ? window.headSize : window.size;
      return std::make_unique<StreamWindow>(std::move(whole), window.offset, size);
    }
    if (PlainMemberName(name) != name) return nullptr;  // a set names its cabinets in the same folder
    while (asked && !session.platform.files.Exists(folder + name))
      if (!AskForDisk(session, disk, folder, name)) return nullptr;
    return session.platform.files.OpenRead(folder + name);
  };
}

const char* ReadName(CabinetRead result) {
  static const char* const kNames[] = {"ok", "cannot-open", "not-cabinet", "other-compression", "broken",
                                       "starts-mid-set"};
  return kNames[static_cast<int>(result)];
}

// Creates the file a member is written into, to be stamped with its stored time and attributes.
std::unique_ptr<StampedFile> CreateFor(InstallSession& session, const CabinetEntry& entry, const std::string& path) {
  FileStamp stamp{entry.member.date, entry.member.time, entry.member.attributes & kKeptAttributes};
  return session.platform.files.CreateStamped(path, stamp);
}

// Decompresses a member into its open file.
bool Fill(CabinetReader& reader, const CabinetEntry& entry, StampedFile& out) {
  return reader.Extract(entry, [&out](const char* data, size_t size) { return out.Write(data, size); });
}

bool WriteEntry(InstallSession& session, CabinetReader& reader, const CabinetEntry& entry, const std::string& path) {
  std::unique_ptr<StampedFile> out = CreateFor(session, entry, path);
  return out && Fill(reader, entry, *out) && out->Close();
}

}  // namespace

std::string PayloadMemberName(size_t index, const std::string& fileName) {
  return "F" + std::to_string(index) + "_" + fileName;
}

bool IsPayloadMemberName(const std::string& storedName) {
  size_t digits = 1;
  while (digits < storedName.size() && std::isdigit(static_cast<unsigned char>(storedName[digits]))) ++digits;
  return storedName.size() > digits && storedName[0] == 'F' && digits > 1 && storedName[digits] == '_';
}

PayloadStream::PayloadStream(InstallSession& session) : session_(session), reader_(CabinetsBesideSetup(session)) {}

std::unique_ptr<PayloadStream> PayloadStream::Open(InstallSession& session) {
  if (!IsCabinetBuild(session)) return nullptr;
  std::unique_ptr<PayloadStream> stream(new PayloadStream(session));
  CabinetRead result = stream->reader_.Open(kFirstCabinet);
  session.trace.Write("cabinet", "stream", {{"result", ReadName(result)}});
  if (result != CabinetRead::kOk) return nullptr;
  return stream;
}

bool PayloadStream::WriteMember(const std::string& storedName, const std::string& path) {
  std::unique_ptr<StampedFile> out = CreateMemberFile(storedName, path);
  return out && FillMemberFile(storedName, *out) && out->Close();
}

std::unique_ptr<StampedFile> PayloadStream::CreateMemberFile(const std::string& storedName, const std::string& path) const {
  const CabinetEntry* entry = reader_.Find(storedName);
  std::unique_ptr<StampedFile> out = entry ? CreateFor(session_, *entry, path) : nullptr;
  if (!out) session_.trace.Write("cabinet", "member", {{"name", storedName}, {"result", entry ? "unwritable" : "missing"}});
  return out;
}

bool PayloadStream::FillMemberFile(const std::string& storedName, StampedFile& out) {
  const CabinetEntry* entry = reader_.Find(storedName);
  bool written = entry && Fill(reader_, *entry, out);
  if (!written) session_.trace.Write("cabinet", "member", {{"name", storedName}, {"result", entry ? "broken" : "missing"}});
  return written;
}

std::optional<bool> ExtractSupportFiles(InstallSession& session, const std::function<void()>& written) {
  CabinetReader reader(CabinetsBesideSetup(session, true));
  CabinetRead result = reader.Open(kFirstCabinet);
  // A damaged set, or one read from its middle, fails the extraction: the system's decompressor
  // is left for the compressions we do not decode.
  if (result == CabinetRead::kBroken || result == CabinetRead::kStartsMidSet) {
    session.trace.Write("cabinet", "stream", {{"result", ReadName(result)}});
    return false;
  }
  if (result != CabinetRead::kOk) return std::nullopt;
  std::string folder = WithBackslash(session.host.WorkDir);
  int count = 0;
  for (const CabinetEntry& entry : reader.Entries()) {
    if (IsPayloadMemberName(entry.member.name)) continue;
    std::string name = PlainMemberName(MemberNameText(entry.member, session.platform.system));
    if (name.empty()) {
      session.trace.Write("cabinet", "refuse", {{"member", entry.member.name}});
      return false;
    }
    if (!WriteEntry(session, reader, entry, folder + name)) {
      session.trace.Write("cabinet", "member", {{"name", entry.member.name}, {"result", "broken"}});
      return false;
    }
    ++count;
    if (written) written();
  }
  session.trace.Write("cabinet", "support-files", {{"files", std::to_string(count)}});
  return true;
}

}  // namespace tw
