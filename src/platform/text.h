// Small text helpers for paths and names, shared by the engine and the fakes.
#pragma once
#include <string>

namespace tw {

// ASCII lower case (file names and paths are compared this way throughout).
std::string Lower(std::string text);
bool Contains(const std::string& text, const char* part);
// The folder with one trailing backslash (an empty text becomes "\").
std::string WithBackslash(std::string folder);
// The text with one trailing backslash dropped, when it has one.
std::string WithoutTrailingBackslash(std::string text);
// What follows the last of the separators; the whole text when there is none.
std::string LastComponent(const std::string& path, const char* separators = "\\/");
// Whether a name taken from data can only name a file inside the folder it is put in: not empty,
// ".", ".." or a name Windows trims to one of them (ending in a dot or blank), without a folder
// separator, a drive colon, a wildcard or another character Windows refuses in names, and not a
// device ("CON", "nul.txt", "COM1", "LPT9.log", ...), which Windows opens in every folder.
bool IsPlainFileName(const std::string& name);

}  // namespace tw
