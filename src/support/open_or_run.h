// Starting what a project names: a web address goes to the system's default handler, anything
// else is started as a program with its parameters.
#pragma once
#include <string>

namespace tw {

class Shell;

// Opens an address (the target begins with "http") and returns; otherwise runs the program and
// waits for it to end. Target and parameters are cut to 254 characters.
void OpenOrRun(Shell& shell, const std::string& target, const std::string& parameters);
// The same, without waiting for a program.
void OpenOrStart(Shell& shell, const std::string& target, const std::string& parameters);

}  // namespace tw
