// Wine-side reader of a saved shell link: loads the ".lnk" through the system's shell link object
// and prints its fields one per line ("path=...", "arguments=...", "folder=...", "icon=...",
// "index=...", "description=..."). Usage: lnk_probe.exe <link path>; exit code 0 when
// the link could be loaded.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Wide(const char* text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

int Probe(const char* linkPath) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return 2;
  IPersistFile* file = nullptr;
  int rc = 3;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(Wide(linkPath).c_str(), STGM_READ))) {
      char text[MAX_PATH * 4] = {};
      int index = 0;
      link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
      std::printf("path=%s\n", text);
      text[0] = '\0';
      link->GetArguments(text, sizeof text);
      std::printf("arguments=%s\n", text);
      text[0] = '\0';
      link->GetWorkingDirectory(text, sizeof text);
      std::printf("folder=%s\n", text);
      text[0] = '\0';
      link->GetIconLocation(text, sizeof text, &index);
      std::printf("icon=%s\nindex=%d\n", text, index);
      text[0] = '\0';
      link->GetDescription(text, sizeof text);
      std::printf("description=%s\n", text);
      rc = 0;
    }
    file->Release();
  }
  link->Release();
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lnk_probe.exe <link path>\n");
    return 1;
  }
  if (FAILED(CoInitialize(nullptr))) return 1;
  int rc = Probe(argv[1]);
  CoUninitialize();
  return rc;
}
