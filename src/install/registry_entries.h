// Registry keys ("REGISTRYKEYS") and values ("REGISTRY") of the project, written and logged for the
// uninstaller; the key and value helpers also serve associations and environment variables.
#pragma once
#include <string>

namespace tw {

class Registry;
struct InstallSession;

// Longest key path or value name the key helpers take, and the value writer's limit for key path,
// value name and data.
constexpr size_t kRegistryKeyText = 255;
constexpr size_t kRegistryValueText = 499;

// Creates each key of "REGISTRYKEYS" (one trailing "\\" dropped) and logs it as "REGKEY" when the
// installation made it (or an earlier installation of the product did); a key naming no root is
// skipped.
void CreateRegistryKeys(InstallSession& session);
// Writes each value of "REGISTRY" into its existing key and logs it as "REGVAL" when written; a
// value that was there before has its content recorded for the uninstaller to put back.
void WriteRegistryValues(InstallSession& session);

// The key path CreateKey opens for fullPath: cut to kRegistryKeyText, every root name removed.
std::string KeyPathOf(const std::string& fullPath);
// Opens fullPath (any root names in it removed) below rootName for full access, creating it with
// all missing parents when it can't be opened. False for an unknown root or a refused key.
bool CreateKey(Registry& registry, const std::string& rootName, const std::string& fullPath);
// Writes one value into an existing key. type: "0"/"String", "1"/"DWORD" (leading decimal digits
// of data), "2"/"Binary" (data's bytes and a zero byte). False for an unknown root or type, a
// missing or refused key.
bool WriteValue(Registry& registry, const std::string& rootName, const std::string& keyPath,
                const std::string& valueName, const std::string& data, const std::string& type);

}  // namespace tw
