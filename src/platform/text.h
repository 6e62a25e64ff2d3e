// Small text helpers for paths and names, shared by the engine and the fakes.
#pragma once
#include <optional>
#include <string>

namespace tw {

class SystemInfo;

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

// The characters of UTF-8 text; a byte that starts no valid sequence comes through as itself
// (U+0080..U+00FF), so nothing is lost and no two texts collapse into one.
std::u32string DecodeUtf8(const std::string& text);
// One character appended to text as UTF-8.
void AppendUtf8(std::string& text, char32_t character);

// The byte-order mark a UTF-8 text file starts with.
constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";
bool StartsWithUtf8Bom(const std::string& bytes);
// A stored text file's bytes as engine text when they start with a byte-order mark (UTF-8, or
// UTF-16 in either byte order), the mark dropped; nothing when they start with none, and are then
// in the machine's ANSI code page. An unpaired surrogate becomes U+FFFD, as the system reads it.
std::optional<std::string> MarkedTextToUtf8(const std::string& bytes);
// The first at most `bytes` bytes of UTF-8 text, never ending inside a character: a fixed buffer
// that cut a name in the middle of one would make it another name.
std::string Utf8Prefix(const std::string& text, size_t bytes);
// Engine text as a file the engine writes stores it: in the ANSI code page, byte for byte what
// older versions wrote, when every character fits; UTF-8 after a byte-order mark when one does not.
// FileSystem::ReadText reads either back.
std::string TextToStored(const SystemInfo& system, const std::string& text);

}  // namespace tw
