// A thin wrapper over FDI: the decompressor reads the cabinets through Win32 file handles and every
// notification goes straight to the portable handler, which decides what is written where.
// cabinet.dll is not one of the system's known DLLs, so it is loaded by its full path from the
// system folder rather than imported: an import would be looked for beside setup.exe first.
#include <windows.h>
#include <fcntl.h>
#include <fdi.h>

#include <cstdlib>
#include <map>
#include <string>

#include "platform/win32/win32_cabinet.h"
#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

struct FdiApi {
  decltype(&FDICreate) create = nullptr;
  decltype(&FDIIsCabinet) isCabinet = nullptr;
  decltype(&FDICopy) copy = nullptr;
  decltype(&FDIDestroy) destroy = nullptr;
};

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Null when cabinet.dll or one of its functions is missing.
const FdiApi* Fdi() {
  static const FdiApi api = [] {
    FdiApi found;
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return found;
    HMODULE module = LoadLibraryW((std::wstring(folder, length) + L"\\cabinet.dll").c_str());
    if (!module) return found;
    Find(module, "FDICreate", found.create);
    Find(module, "FDIIsCabinet", found.isCabinet);
    Find(module, "FDICopy", found.copy);
    Find(module, "FDIDestroy", found.destroy);
    return found;
  }();
  return api.create && api.isCabinet && api.copy && api.destroy ? &api : nullptr;
}

INT_PTR AsFdiHandle(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(handle); }
HANDLE AsHandle(INT_PTR handle) { return reinterpret_cast<HANDLE>(handle); }

FNALLOC(FdiAlloc) { return std::malloc(cb); }
FNFREE(FdiFree) { std::free(pv); }

// FDI opens only the cabinets through this, always to read them; the members' files are opened by
// the notification handler. The path is the engine's own (UTF-8), passed through FDI untouched.
FNOPEN(FdiOpen) {
  if (oflag & (_O_WRONLY | _O_RDWR | _O_CREAT)) return -1;
  return AsFdiHandle(CreateFileW(Wide(pszFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

FNREAD(FdiRead) {
  DWORD done = 0;
  if (!ReadFile(AsHandle(hf), pv, cb, &done, nullptr)) return static_cast<UINT>(-1);
  return done;
}

FNWRITE(FdiWrite) {
  DWORD done = 0;
  if (!WriteFile(AsHandle(hf), pv, cb, &done, nullptr)) return static_cast<UINT>(-1);
  return done;
}

FNCLOSE(FdiClose) { return CloseHandle(AsHandle(hf)) ? 0 : -1; }

// SEEK_SET, SEEK_CUR and SEEK_END have the values of FILE_BEGIN, FILE_CURRENT and FILE_END.
FNSEEK(FdiSeek) {
  DWORD position = SetFilePointer(AsHandle(hf), dist, nullptr, static_cast<DWORD>(seektype));
  return position == INVALID_SET_FILE_POINTER ? -1 : static_cast<LONG>(position);
}

struct CopyState {
  CabinetHandler* handler;
  std::map<INT_PTR, std::string> openTargets;  // handle given to FDI -> the path it writes
};

CabinetMember MemberOf(const FDINOTIFICATION& notice) {
  CabinetMember member;
  member.name = notice.psz1 ? notice.psz1 : "";
  member.size = static_cast<uint32_t>(notice.cb);
  member.date = notice.date;
  member.time = notice.time;
  member.attributes = notice.attribs;
  return member;
}

INT_PTR OpenTarget(CopyState& state, const FDINOTIFICATION& notice) {
  CabinetTarget target = state.handler->OnCopyFile(MemberOf(notice));
  if (target.action == CabinetTarget::kSkip) return 0;
  if (target.action == CabinetTarget::kAbort) return -1;
  INT_PTR handle = AsFdiHandle(CreateFileW(Wide(target.path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (handle != -1) state.openTargets[handle] = target.path;
  return handle;
}

INT_PTR CloseTarget(CopyState& state, const FDINOTIFICATION& notice) {
  auto found = state.openTargets.find(notice.hf);
  if (found == state.openTargets.end()) return FALSE;
  std::string path = found->second;
  state.openTargets.erase(found);
  SetStoredTimes(AsHandle(notice.hf), notice.date, notice.time);
  CloseHandle(AsHandle(notice.hf));
  state.handler->OnFileClosed(MemberOf(notice), path);
  return TRUE;
}

INT_PTR Dispatch(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notice) {
  CopyState& state = *static_cast<CopyState*>(notice->pv);
  switch (type) {
    case fdintCOPY_FILE:
      return OpenTarget(state, *notice);
    case fdintCLOSE_FILE_INFO:
      return CloseTarget(state, *notice);
    case fdintNEXT_CABINET:
      return state.handler->OnNextCabinet(notice->psz2 ? notice->psz2 : "", notice->psz3 ? notice->psz3 : "",
                                          notice->psz1 ? notice->psz1 : "", notice->fdie != FDIERROR_NONE)
                 ? 0
                 : -1;
    case fdintENUMERATE:
      state.handler->OnEnumerate(notice->iFolder);
      return 0;
    default:  // cabinet information, partial file
      return 0;
  }
}

// Nothing may unwind through the decompressor's C frames: a throwing handler aborts the copy.
FNFDINOTIFY(Notify) {
  try {
    return Dispatch(fdint, pfdin);
  } catch (...) {
    return -1;
  }
}

class FdiContext : public CabinetContext {
 public:
  ~FdiContext() override { Release(); }

  // FDI keeps a pointer to the error record for the context's whole life, so it lives here.
  bool Create() {
    fdi_ = Fdi()->create(FdiAlloc, FdiFree, FdiOpen, FdiRead, FdiWrite, FdiClose, FdiSeek, cpu80386, &error_);
    return fdi_ != nullptr;
  }

  CabinetCheck Check(const std::string& path) override {
    INT_PTR file = FdiOpen(const_cast<char*>(path.c_str()), _O_RDONLY | _O_BINARY, 0);
    if (file == -1) return CabinetCheck::kCannotOpen;
    FDICABINETINFO info = {};
    bool isCabinet = Fdi()->isCabinet(fdi_, file, &info) != FALSE;
    FdiClose(file);
    return isCabinet ? CabinetCheck::kCabinet : CabinetCheck::kNotCabinet;
  }

  bool CopyAll(const std::string& folder, const std::string& cabinetName, CabinetHandler& handler) override {
    if (!fdi_) return false;
    CopyState state{&handler, {}};
    // A target left open by a failed copy is closed by FDI itself, through FdiClose.
    return Fdi()->copy(fdi_, const_cast<char*>(cabinetName.c_str()), const_cast<char*>(folder.c_str()), 0, Notify,
                   nullptr, &state) != FALSE;
  }

  bool Release() override {
    if (!fdi_) return true;
    HFDI fdi = fdi_;
    fdi_ = nullptr;
    return Fdi()->destroy(fdi) != FALSE;
  }

 private:
  HFDI fdi_ = nullptr;
  ERF error_ = {};
};

}  // namespace

std::unique_ptr<CabinetContext> Win32Cabinets::CreateContext() {
  if (!Fdi()) return nullptr;
  auto context = std::make_unique<FdiContext>();
  if (!context->Create()) return nullptr;
  return context;
}

}  // namespace tw
