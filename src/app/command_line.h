// The command line an administrator gives setup.exe for unattended installs. With no arguments
// nothing changes; every switch is optional:
//   /S            silent: no window at all, every question answered the safe way
//   /D=<folder>   the install folder, blanks and all: it runs to the end of the line, or to the
//                 next switch after a blank
//   /LOG=<file>   the trace written to that file
//   /NORESTART    never restart; the exit code asks for it
//   /CURRENTUSER  install for the current user alone; /ALLUSERS for the whole machine
//   /?            the usage, shown in a message box (written to the log and console under /S)
#pragma once
#include <string>

#include "install/host_values.h"

namespace tw {

struct CommandLine {
  bool silent = false;
  bool help = false;
  bool noRestart = false;
  InstallScope scope = InstallScope::kProject;
  std::string installDir;  // empty: the project's own
  std::string logFile;     // empty: TARNWICK_LOG, when set
  std::string error;       // not empty when the line was refused: the first problem, for the user
};

// Parses the arguments after the program name, all of them: a refused argument is reported, and
// /S or /LOG= after it still count. Switch names are not case-sensitive; a value may be quoted, and
// a quoted blank does not end an argument.
CommandLine ParseCommandLine(const std::string& arguments);

// The usage text: the switches and the exit codes.
std::string UsageText();

}  // namespace tw
