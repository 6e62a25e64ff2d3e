// In-memory registry twin: keys and value names match without regard to case, and tests can seed
// values, inspect them, and deny access to chosen keys.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tw {

class FakeRegistry : public Registry {
 public:
  bool CanOpen(RegRoot root, const std::string& key, RegAccess access) const override;
  bool CreateKey(RegRoot root, const std::string& key) override;
  std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                        const std::string& name) const override;
  std::optional<uint32_t> ReadDword(RegRoot root, const std::string& key,
                                    const std::string& name) const override;
  bool IsExpandableString(RegRoot root, const std::string& key, const std::string& name) const override;
  bool WriteString(RegRoot root, const std::string& key, const std::string& name,
                   const std::string& value, bool expandable) override;
  bool WriteDword(RegRoot root, const std::string& key, const std::string& name,
                  uint32_t value) override;
  bool WriteBinary(RegRoot root, const std::string& key, const std::string& name,
                   const std::string& bytes) override;
  std::optional<RegValue> ReadRawValue(RegRoot root, const std::string& key,
                                       const std::string& name) const override;
  bool WriteRawValue(RegRoot root, const std::string& key, const std::string& name,
                     const RegValue& value) override;
  bool DeleteValue(RegRoot root, const std::string& key, const std::string& name) override;
  bool DeleteTree(RegRoot root, const std::string& key) override;
  bool IsEmptyKey(RegRoot root, const std::string& key) const override;

  // --- test controls ---
  // Denies the key and everything under it: for writing (reads still work), or for every access.
  void Deny(RegRoot root, const std::string& key, RegAccess access);
  // Type of a stored value (1 REG_SZ, 2 REG_EXPAND_SZ, 3 REG_BINARY, 4 REG_DWORD); 0 when missing.
  int ValueType(RegRoot root, const std::string& key, const std::string& name) const;
  bool KeyExists(RegRoot root, const std::string& key) const;
  // Every key and value, one a line in order, to compare a whole registry with an earlier one.
  std::string Dump() const;

 private:
  struct Value {
    int type;
    std::string data;
  };
  struct Key {
    std::map<std::string, Value> values;  // by lower-case name
  };
  struct Denial {
    std::string key;  // lower-case full path
    RegAccess access;
  };
  static std::string Normal(RegRoot root, const std::string& key);
  const Value* Find(RegRoot root, const std::string& key, const std::string& name) const;
  bool Denied(const std::string& normal, RegAccess access) const;
  bool Put(RegRoot root, const std::string& key, const std::string& name, Value value);

  std::map<std::string, Key> keys_;  // by lower-case "<root>\\path"
  std::vector<Denial> denials_;
};

}  // namespace tw
