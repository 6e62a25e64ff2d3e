#include "platform/fault/faulty_registry.h"

namespace tw {

bool FaultyRegistry::Fails(RegOp op, RegRoot root, const std::string& key) const {
  return FaultControls::Fails(op, std::string(RegRootName(root)) + "\\" + key);
}

bool FaultyRegistry::Fails(RegOp op, RegRoot root, const std::string& key, const std::string& name) const {
  return FaultControls::Fails(op, std::string(RegRootName(root)) + "\\" + key + "\\" + name);
}

bool FaultyRegistry::CanOpen(RegRoot root, const std::string& key, RegAccess access) const {
  return !Fails(RegOp::Open, root, key) && inner_.CanOpen(root, key, access);
}

bool FaultyRegistry::CreateKey(RegRoot root, const std::string& key) {
  return !Fails(RegOp::Open, root, key) && inner_.CreateKey(root, key);
}

std::optional<std::string> FaultyRegistry::ReadString(RegRoot root, const std::string& key,
                                                      const std::string& name) const {
  if (Fails(RegOp::Read, root, key, name)) return std::nullopt;
  return inner_.ReadString(root, key, name);
}

std::optional<uint32_t> FaultyRegistry::ReadDword(RegRoot root, const std::string& key,
                                                  const std::string& name) const {
  if (Fails(RegOp::Read, root, key, name)) return std::nullopt;
  return inner_.ReadDword(root, key, name);
}

bool FaultyRegistry::IsExpandableString(RegRoot root, const std::string& key, const std::string& name) const {
  return !Fails(RegOp::Read, root, key, name) && inner_.IsExpandableString(root, key, name);
}

bool FaultyRegistry::WriteString(RegRoot root, const std::string& key, const std::string& name,
                                 const std::string& value, bool expandable) {
  return !Fails(RegOp::Write, root, key, name) && inner_.WriteString(root, key, name, value, expandable);
}

bool FaultyRegistry::WriteDword(RegRoot root, const std::string& key, const std::string& name, uint32_t value) {
  return !Fails(RegOp::Write, root, key, name) && inner_.WriteDword(root, key, name, value);
}

bool FaultyRegistry::WriteBinary(RegRoot root, const std::string& key, const std::string& name,
                                 const std::string& bytes) {
  return !Fails(RegOp::Write, root, key, name) && inner_.WriteBinary(root, key, name, bytes);
}

std::optional<RegValue> FaultyRegistry::ReadRawValue(RegRoot root, const std::string& key,
                                                     const std::string& name) const {
  if (Fails(RegOp::Read, root, key, name)) return std::nullopt;
  return inner_.ReadRawValue(root, key, name);
}

bool FaultyRegistry::WriteRawValue(RegRoot root, const std::string& key, const std::string& name,
                                   const RegValue& value) {
  return !Fails(RegOp::Write, root, key, name) && inner_.WriteRawValue(root, key, name, value);
}

bool FaultyRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
  return !Fails(RegOp::Delete, root, key, name) && inner_.DeleteValue(root, key, name);
}

bool FaultyRegistry::DeleteTree(RegRoot root, const std::string& key) {
  return !Fails(RegOp::Delete, root, key) && inner_.DeleteTree(root, key);
}

bool FaultyRegistry::IsEmptyKey(RegRoot root, const std::string& key) const {
  return !Fails(RegOp::Read, root, key) && inner_.IsEmptyKey(root, key);
}

}  // namespace tw
