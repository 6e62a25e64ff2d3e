#include "platform/fake/fake_registry.h"

#include <cctype>
#include <cstring>
#include <iterator>

#include "platform/system_error.h"
#include "platform/text.h"

namespace tw {
namespace {

bool IsUnder(const std::string& path, const std::string& ancestor) {
  return path == ancestor ||
         (path.size() > ancestor.size() && path.compare(0, ancestor.size(), ancestor) == 0 &&
          path[ancestor.size()] == '\\');
}

// Notes the code the registry answers the same failure with, and answers false.
bool Fail(uint32_t code) {
  NoteSystemError(code);
  return false;
}

}  // namespace

// Keys are stored as "<root>\\a\\b" in lower case, without doubled or trailing backslashes.
std::string FakeRegistry::Normal(RegRoot root, const std::string& key) {
  std::string normal = RegRootName(root);
  std::string part;
  for (size_t i = 0; i <= key.size(); ++i) {
    if (i == key.size() || key[i] == '\\') {
      if (!part.empty()) normal += "\\" + part;
      part.clear();
    } else {
      part += key[i];
    }
  }
  return Lower(normal);
}

bool FakeRegistry::Denied(const std::string& normal, RegAccess access) const {
  for (const auto& denial : denials_) {
    if (!IsUnder(normal, denial.key)) continue;
    if (denial.access != RegAccess::Write || access != RegAccess::Read) return true;
  }
  return false;
}

std::string FakeRegistry::Dump() const {
  std::string dump;
  for (const auto& [path, key] : keys_) {
    dump += "[" + path + "]\n";
    for (const auto& [name, value] : key.values) dump += name + "=" + std::to_string(value.type) + ":" + value.data + "\n";
  }
  return dump;
}

bool FakeRegistry::KeyExists(RegRoot root, const std::string& key) const {
  std::string normal = Normal(root, key);
  return normal.find('\\') == std::string::npos || keys_.count(normal) > 0;
}

bool FakeRegistry::CanOpen(RegRoot root, const std::string& key, RegAccess access) const {
  if (!KeyExists(root, key)) return Fail(kErrorFileNotFound);
  return !Denied(Normal(root, key), access) || Fail(kErrorAccessDenied);
}

bool FakeRegistry::CreateKey(RegRoot root, const std::string& key) {
  std::string normal = Normal(root, key);
  if (Denied(normal, RegAccess::Write)) return Fail(kErrorAccessDenied);
  for (size_t cut = normal.find('\\'); cut != std::string::npos; cut = normal.find('\\', cut + 1))
    keys_[normal.substr(0, cut)];
  keys_[normal];
  return true;
}

const FakeRegistry::Value* FakeRegistry::Find(RegRoot root, const std::string& key,
                                              const std::string& name) const {
  std::string normal = Normal(root, key);
  if (Denied(normal, RegAccess::Read)) {
    Fail(kErrorAccessDenied);
    return nullptr;
  }
  auto k = keys_.find(normal);
  if (k != keys_.end()) {
    auto v = k->second.values.find(Lower(name));
    if (v != k->second.values.end()) return &v->second;
  }
  Fail(kErrorFileNotFound);
  return nullptr;
}

std::optional<std::string> FakeRegistry::ReadString(RegRoot root, const std::string& key,
                                                    const std::string& name) const {
  const Value* value = Find(root, key, name);
  if (!value || (value->type != 1 && value->type != 2)) return std::nullopt;
  return value->data;
}

std::optional<uint32_t> FakeRegistry::ReadDword(RegRoot root, const std::string& key,
                                                const std::string& name) const {
  const Value* value = Find(root, key, name);
  if (!value || value->type != 4 || value->data.size() != 4) return std::nullopt;
  uint32_t result = 0;
  std::memcpy(&result, value->data.data(), 4);
  return result;
}

bool FakeRegistry::IsExpandableString(RegRoot root, const std::string& key, const std::string& name) const {
  const Value* value = Find(root, key, name);
  return value && value->type == 2;
}

bool FakeRegistry::Put(RegRoot root, const std::string& key, const std::string& name, Value value) {
  std::string normal = Normal(root, key);
  auto k = keys_.find(normal);
  if (k == keys_.end()) return Fail(kErrorFileNotFound);
  if (Denied(normal, RegAccess::Write)) return Fail(kErrorAccessDenied);
  k->second.values[Lower(name)] = std::move(value);
  return true;
}

bool FakeRegistry::WriteString(RegRoot root, const std::string& key, const std::string& name,
                               const std::string& value, bool expandable) {
  return Put(root, key, name, {expandable ? 2 : 1, value});
}

bool FakeRegistry::WriteDword(RegRoot root, const std::string& key, const std::string& name,
                              uint32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  return Put(root, key, name, {4, data});
}

bool FakeRegistry::WriteBinary(RegRoot root, const std::string& key, const std::string& name,
                               const std::string& bytes) {
  return Put(root, key, name, {3, bytes});
}

// Strings are kept as text here; as the registry stores them they end in a zero byte.
std::optional<RegValue> FakeRegistry::ReadRawValue(RegRoot root, const std::string& key,
                                                   const std::string& name) const {
  const Value* value = Find(root, key, name);
  if (!value) return std::nullopt;
  RegValue raw{static_cast<uint32_t>(value->type), value->data};
  if (raw.type == 1 || raw.type == 2) raw.data += '\0';
  if (raw.data.size() > kMaxRegValueBytes) return std::nullopt;
  return raw;
}

bool FakeRegistry::WriteRawValue(RegRoot root, const std::string& key, const std::string& name,
                                 const RegValue& value) {
  std::string data = value.data;
  if (value.type == 1 || value.type == 2) data = data.substr(0, data.find('\0'));
  return Put(root, key, name, {static_cast<int>(value.type), data});
}

bool FakeRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
  std::string normal = Normal(root, key);
  auto k = keys_.find(normal);
  if (k == keys_.end()) return Fail(kErrorFileNotFound);
  if (Denied(normal, RegAccess::Write)) return Fail(kErrorAccessDenied);
  return k->second.values.erase(Lower(name)) > 0 || Fail(kErrorFileNotFound);
}

bool FakeRegistry::DeleteTree(RegRoot root, const std::string& key) {
  std::string normal = Normal(root, key);
  if (keys_.count(normal) == 0) return Fail(kErrorFileNotFound);
  if (Denied(normal, RegAccess::Write)) return Fail(kErrorAccessDenied);
  for (auto it = keys_.begin(); it != keys_.end();)
    it = IsUnder(it->first, normal) ? keys_.erase(it) : std::next(it);
  return true;
}

bool FakeRegistry::IsEmptyKey(RegRoot root, const std::string& key) const {
  std::string normal = Normal(root, key);
  auto found = keys_.find(normal);
  if (found == keys_.end() || !found->second.values.empty()) return false;
  // Subkeys sort straight after "<key>\\".
  const std::string below = normal + "\\";
  auto next = keys_.lower_bound(below);
  return next == keys_.end() || next->first.compare(0, below.size(), below) != 0;
}

void FakeRegistry::Deny(RegRoot root, const std::string& key, RegAccess access) {
  denials_.push_back({Normal(root, key), access});
}

int FakeRegistry::ValueType(RegRoot root, const std::string& key, const std::string& name) const {
  const Value* value = Find(root, key, name);
  return value ? value->type : 0;
}

}  // namespace tw
