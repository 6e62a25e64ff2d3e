// The sample application's program. Started by the setup's Finish, it leaves a note in the user's
// temporary folder naming where it runs from and its working folder, so a test (or a curious
// author) can see which copy was started; then it ends. With /sync (the sample's service) it just ends.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (commandLine && std::strstr(commandLine, "/sync")) return 0;
  char program[MAX_PATH] = {}, folder[MAX_PATH] = {}, temp[MAX_PATH] = {};
  if (!GetModuleFileNameA(nullptr, program, MAX_PATH) || !GetCurrentDirectoryA(MAX_PATH, folder) ||
      !GetTempPathA(MAX_PATH, temp)) {
    return 1;
  }
  const std::string note = std::string(temp) + "tarnwick-notes-started.txt";
  FILE* file = std::fopen(note.c_str(), "wb");
  if (!file) return 1;
  std::fprintf(file, "program=%s\r\nfolder=%s\r\n", program, folder);
  return std::fclose(file) == 0 ? 0 : 1;
}
