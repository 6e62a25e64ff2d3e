// The project's Windows services ("NTSERVICE"): registered with the service manager on NT-class
// systems, each logged for the uninstaller, a refused one offered for Retry, Ignore or Cancel.
#pragma once
#include <string>

namespace tw {

class FileSystem;
struct InstallSession;

// Installs every service of the section; "Installing Service..." is shown when it has any.
void InstallServices(InstallSession& session);

// One service, the texts as the project writes them (the path with placeholders). Nothing on
// Windows 9x or when the manager can't be reached; "NTSERVICE" is logged once it exists. A service
// of that name which an earlier installation of the product made is updated instead. unused1
// and unused2 ("G" and "H") mean nothing to the manager and are left alone.
void InstallService(InstallSession& session, const std::string& name, const std::string& displayName,
                    const std::string& type, const std::string& start, const std::string& errorControl,
                    const std::string& path, const std::string& unused1, const std::string& unused2);

// The service's command line with its program quoted when the program's path holds a blank, so
// the manager cannot start "C:\\Program.exe" instead; arguments stay after the quotes. The program
// ends at the first ".exe" that ends a word, else with the longest part ending before a blank
// that names an existing file, else with the whole text. A line starting with a quote is kept.
std::string QuoteServiceProgram(const FileSystem& files, const std::string& commandLine);

}  // namespace tw
