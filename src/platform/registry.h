// Registry service: the five roots, opened by path. Win32 uses the real registry; the fake keeps
// an in-memory tree that tests can seed, inspect and deny.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };
enum class RegAccess { Read, Write, All };

// A value exactly as the registry holds it: its type (1 string, 2 expandable string, 3 binary,
// 4 32-bit number, 7 string list, ...) and its bytes, a string's terminating zero included. The
// three text types hold engine text (UTF-8) here, whatever form the registry keeps them in.
struct RegValue {
  uint32_t type = 0;
  std::string data;
  bool operator==(const RegValue& other) const { return type == other.type && data == other.data; }
};
// The largest value read whole; a bigger one is treated as unreadable.
constexpr size_t kMaxRegValueBytes = 1u << 20;

// "HKEY_LOCAL_MACHINE" and the other full root names; nothing for anything else.
std::optional<RegRoot> RegRootFromName(const std::string& name);
const char* RegRootName(RegRoot root);

// Threads: one at a time. The system's registry would serve several threads at once; the fake's
// in-memory tree is not locked.
class Registry {
 public:
  virtual ~Registry() = default;

  // True when the key exists and may be opened with the access asked for.
  virtual bool CanOpen(RegRoot root, const std::string& key, RegAccess access) const = 0;
  // Creates the key and any missing parents; true when it exists afterwards and may be written.
  virtual bool CreateKey(RegRoot root, const std::string& key) = 0;
  // A string value (REG_SZ or REG_EXPAND_SZ, unexpanded); nothing when the key or value is missing
  // or of another type. An empty name reads the key's default value.
  virtual std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                                const std::string& name) const = 0;
  // A REG_DWORD value; nothing when missing or of another type.
  virtual std::optional<uint32_t> ReadDword(RegRoot root, const std::string& key,
                                            const std::string& name) const = 0;
  // True when the value exists and holds an expandable string (REG_EXPAND_SZ); false otherwise.
  virtual bool IsExpandableString(RegRoot root, const std::string& key, const std::string& name) const = 0;
  // Writes into an existing key (or one CreateKey made); false when the key is missing or denied.
  virtual bool WriteString(RegRoot root, const std::string& key, const std::string& name,
                           const std::string& value, bool expandable) = 0;
  virtual bool WriteDword(RegRoot root, const std::string& key, const std::string& name,
                          uint32_t value) = 0;
  virtual bool WriteBinary(RegRoot root, const std::string& key, const std::string& name,
                           const std::string& bytes) = 0;
  // The value as stored, whatever its type; nothing when the key or value is missing or the value
  // is larger than kMaxRegValueBytes.
  virtual std::optional<RegValue> ReadRawValue(RegRoot root, const std::string& key,
                                               const std::string& name) const = 0;
  // Writes a value exactly as ReadRawValue gave it into an existing key; false when the key is
  // missing or denied.
  virtual bool WriteRawValue(RegRoot root, const std::string& key, const std::string& name,
                             const RegValue& value) = 0;
  // False when the value or key is missing.
  virtual bool DeleteValue(RegRoot root, const std::string& key, const std::string& name) = 0;
  // Deletes the key with all its subkeys; false when it is missing.
  virtual bool DeleteTree(RegRoot root, const std::string& key) = 0;
  // True when the key exists and holds neither subkeys nor values (a default value counts).
  virtual bool IsEmptyKey(RegRoot root, const std::string& key) const = 0;
};

}  // namespace tw
