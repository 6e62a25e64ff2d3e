#include "app/command_line.h"

#include <cctype>
#include <string>

#include "app/folder_path.h"
#include "platform/text.h"

namespace tw {
namespace {

// Longer paths are refused rather than cut: a cut folder would be a different folder.
constexpr size_t kMaxPath = 259;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
  for (size_t i = 0; prefix[i] != '\0'; ++i) {
    if (at + i >= text.size()) return false;
    if (std::toupper(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
  }
  return true;
}

// One argument from at: up to the next blank outside quotes, the quotes themselves dropped.
std::string NextArgument(const std::string& text, size_t& at) {
  std::string argument;
  bool quoted = false;
  for (; at < text.size() && (quoted || !IsBlank(text[at])); ++at) {
    if (text[at] == '"')
      quoted = !quoted;
    else
      argument += text[at];
  }
  return argument;
}

// Whether a switch starts at "at" (after a blank): "/S" and "/?" standing alone, "/LOG=", "/D=".
bool SwitchStartsAt(const std::string& text, size_t at) {
  auto alone = [&](const char* name) {
    return StartsWithNoCase(text, at, name) && (at + 2 == text.size() || IsBlank(text[at + 2]));
  };
  auto word = [&](const char* name) {
    const size_t length = std::char_traits<char>::length(name);
    return StartsWithNoCase(text, at, name) && (at + length == text.size() || IsBlank(text[at + length]));
  };
  return alone("/S") || alone("/?") || word("/NORESTART") || word("/CURRENTUSER") || word("/ALLUSERS") ||
         StartsWithNoCase(text, at, "/LOG=") || StartsWithNoCase(text, at, "/D=");
}

// The end of a "/D=" value: the end of the line, so a folder with blanks needs no quotes, or the
// first blank that a switch follows, so "/D=C:\My App /LOG=x.log" still gets its log.
size_t FolderEnd(const std::string& text, size_t at) {
  for (size_t i = at; i + 1 < text.size(); ++i)
    if (IsBlank(text[i]) && SwitchStartsAt(text, i + 1)) return i;
  return text.size();
}

// One pair of quotes around the folder is taken off, and blanks around it do not count.
std::string FolderValue(const std::string& text, size_t at, size_t end) {
  while (at < end && IsBlank(text[at])) ++at;
  while (end > at && IsBlank(text[end - 1])) --end;
  std::string value = text.substr(at, end - at);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

std::string CheckPath(const std::string& value, const char* what) {
  if (value.empty()) return std::string(what) + " needs a value";
  if (value.size() > kMaxPath) return std::string(what) + " is too long";
  return "";
}

}  // namespace

CommandLine ParseCommandLine(const std::string& arguments) {
  CommandLine line;
  size_t at = 0;
  // The first problem is the one reported; the rest of the line is still read.
  auto refuse = [&line](const std::string& problem) {
    if (line.error.empty()) line.error = problem;
  };
  for (;;) {
    while (at < arguments.size() && IsBlank(arguments[at])) ++at;
    if (at >= arguments.size()) break;
    // Quoted whole ("/D=C:\My Folder") is read the same.
    const bool quotedWhole = StartsWithNoCase(arguments, at, "\"/D=");
    if (quotedWhole || StartsWithNoCase(arguments, at, "/D=")) {
      const size_t start = at + (quotedWhole ? 4 : 3), end = FolderEnd(arguments, start);
      line.installDir = FolderValue(arguments, start, end);
      if (quotedWhole && !line.installDir.empty() && line.installDir.back() == '"') line.installDir.pop_back();
      const std::string problem = CheckPath(line.installDir, "/D=");
      refuse(problem);
      // Judged as the folder dialog judges a typed folder, and refused with its words.
      const std::string folder =
          line.installDir.size() > 3 ? WithoutTrailingBackslash(line.installDir) : line.installDir;
      if (problem.empty() && !IsValidFolderPath(folder))
        refuse(InvalidFolderMessage(line.installDir));
      at = end;
      continue;
    }
    const std::string argument = NextArgument(arguments, at);
    std::string name = argument;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "/S") {
      line.silent = true;
    } else if (name == "/?") {
      line.help = true;
    } else if (name == "/NORESTART") {
      line.noRestart = true;
    } else if (name == "/CURRENTUSER" || name == "/ALLUSERS") {
      const InstallScope scope = name == "/ALLUSERS" ? InstallScope::kAllUsers : InstallScope::kCurrentUser;
      if (line.scope != InstallScope::kProject && line.scope != scope)
        refuse("/CURRENTUSER and /ALLUSERS exclude each other");
      line.scope = scope;
    } else if (name.compare(0, 5, "/LOG=") == 0) {
      line.logFile = argument.substr(5);
      refuse(CheckPath(line.logFile, "/LOG="));
    } else {
      refuse("Unknown switch: " + argument);
    }
  }
  return line;
}

std::string UsageText() {
  return "Usage: setup.exe [/S] [/LOG=file] [/NORESTART] [/CURRENTUSER | /ALLUSERS] [/D=folder]\r\n"
         "\r\n"
         "/S\tInstall silently: no window, no questions.\r\n"
         "/LOG=file\tWrite the setup log to file.\r\n"
         "/NORESTART\tNever restart the computer; the exit code says when a restart is needed.\r\n"
         "/CURRENTUSER\tInstall for the current user alone, without administrator rights.\r\n"
         "/ALLUSERS\tInstall for every user of the computer (administrator rights needed).\r\n"
         "/D=folder\tInstall into folder. Must come last; blanks need no quotes.\r\n"
         "/?\tShow this help.\r\n"
         "\r\n"
         "Exit codes: 0 installed, 3010 installed and a restart is needed, 1641 installed and the computer "
         "is restarting, 1602 cancelled by the user, 1603 failed, 1618 another installation is running, "
         "1639 bad command line.";
}

}  // namespace tw
