// Shell links (IShellLinkA) and Internet shortcuts (IUniformResourceLocatorW), each saved through
// its IPersistFile. The calling thread has COM already (Shell::PrepareThread).
#include <windows.h>
#include <intshcut.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

// One COM interface pointer, released with the object.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  void** Out() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

// A COM failure noted as the system error it carries (a missing folder is ERROR_PATH_NOT_FOUND
// inside its HRESULT), or as the HRESULT itself when it carries none.
bool Succeeded(HRESULT result) {
  if (SUCCEEDED(result)) return true;
  return NoteError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<uint32_t>(result));
}

// Saves a shortcut object to path and makes it the object's current file.
bool SaveObject(IUnknown* object, const std::string& path) {
  std::wstring widePath = Wide(path);
  if (widePath.empty()) return NoteError(ERROR_INVALID_NAME);
  ComRef<IPersistFile> file;
  if (!Succeeded(object->QueryInterface(IID_IPersistFile, file.Out())) || !file.get()) return false;
  return Succeeded(file->Save(widePath.c_str(), TRUE));
}

}  // namespace

bool Win32Shell::CreateShellLink(const ShellLink& link, const std::string& linkPath) {
  ComRef<IShellLinkW> shellLink;
  if (!Succeeded(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.Out())) ||
      !shellLink.get())
    return false;
  // A link without its target is worthless; the other fields only dress it, so a refused one
  // leaves the object's default in place.
  if (!Succeeded(shellLink->SetPath(Wide(link.path).c_str()))) return false;
  if (!link.iconLocation.empty()) shellLink->SetIconLocation(Wide(link.iconLocation).c_str(), link.iconIndex);
  if (!link.arguments.empty()) shellLink->SetArguments(Wide(link.arguments).c_str());
  shellLink->SetDescription(Wide(link.description).c_str());
  if (link.showCommand != 0) shellLink->SetShowCmd(link.showCommand);
  shellLink->SetWorkingDirectory(Wide(link.workingFolder).c_str());
  return SaveObject(shellLink.get(), linkPath);
}

bool Win32Shell::CreateInternetShortcut(const std::string& url, const std::string& shortcutPath) {
  ComRef<IUniformResourceLocatorW> locator;
  if (!Succeeded(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER, IID_IUniformResourceLocatorW,
                                  locator.Out())) ||
      !locator.get())
    return false;
  if (!Succeeded(locator->SetURL(Wide(url).c_str(), 0))) return false;
  return SaveObject(locator.get(), shortcutPath);
}

}  // namespace tw
