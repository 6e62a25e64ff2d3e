// Stands in for the separate uninstaller in the suite: records its command line, takes a moment,
// then records that it finished, so a test can tell whether setup.exe waited for it.
#include <windows.h>

#include <cstdio>

int main() {
  const char* log = "C:\\dovuvi-standin.log";
  if (FILE* out = std::fopen(log, "ab")) {
    std::fprintf(out, "started %s\n", GetCommandLineA());
    std::fclose(out);
  }
  Sleep(1500);
  if (FILE* out = std::fopen(log, "ab")) {
    std::fprintf(out, "finished\n");
    std::fclose(out);
  }
  return 0;
}
