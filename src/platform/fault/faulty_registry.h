// A registry that forwards every call to another (the fake or the real Win32 one) and fails the
// calls a test chooses, with the system error it chooses. A failed call never reaches the wrapped
// registry, so the key or value stays as it was.
#pragma once
#include <string>

#include "platform/fault/fault_rules.h"
#include "platform/registry.h"
#include "platform/system_error.h"

namespace tw {

// The kinds of call a rule fails. A rule's fragment is matched against "<root name>\<key>", with
// "\<value name>" after it for a call about one value (so "HKEY_CURRENT_USER\Software\Acme\Path").
//   Open    CanOpen, CreateKey
//   Read    ReadString, ReadDword, IsExpandableString, ReadRawValue, IsEmptyKey
//   Write   WriteString, WriteDword, WriteBinary, WriteRawValue
//   Delete  DeleteValue, DeleteTree
enum class RegOp { Open, Read, Write, Delete };

// Threads: as the wrapped registry; the rules are counted under a lock.
class FaultyRegistry : public Registry, public FaultControls<RegOp> {
 public:
  explicit FaultyRegistry(Registry& inner) : inner_(inner) {}

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

 private:
  // Reads are const on the seam; counting them is the wrapper's own business.
  bool Fails(RegOp op, RegRoot root, const std::string& key) const;
  bool Fails(RegOp op, RegRoot root, const std::string& key, const std::string& name) const;

  Registry& inner_;
};

}  // namespace tw
