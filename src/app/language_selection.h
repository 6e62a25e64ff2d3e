// Choosing the wizard's language: the language file for a name or for the system's language, the
// names the language page offers, and the rewrite of the standard layout files' captions.
#pragma once
#include <string>
#include <vector>

namespace tw {

class FileSystem;
class LanguageFile;
class ProfileFiles;
class Trace;

// The language name for a system user-interface language id; empty for an id not in the table.
std::string LanguageNameForId(int id);
// setupDir + "languages\\" + name + ".lan" when that folder exists, else setupDir + name + ".lan".
std::string LanguageFileLocation(const FileSystem& files, const std::string& setupDir,
                                 const std::string& name);
// The names of the "*.lan" files the language page lists, in the order the folder gives them.
std::vector<std::string> LanguageNames(const FileSystem& files, const std::string& setupDir);
// A language text as a caption: "[" and "]" stand for "<" and ">", and only what follows the
// first "}" is kept.
std::string LanguageCaption(std::string text);
// Rewrites the caption entries of the standard layout files in themeDir with the language's texts,
// in their fixed order. A control without a text keeps its caption; a missing layout is skipped.
void RewriteLayoutCaptions(const FileSystem& files, ProfileFiles& profiles, const std::string& themeDir,
                           const LanguageFile& language, Trace& trace);

}  // namespace tw
