// Default stream opener over the local disk, and the method base's out-of-line destructor.
#include "crypt/file_crypt_method.h"

#include <fstream>

namespace tw {

CFileCryptMethod::~CFileCryptMethod() = default;

std::unique_ptr<std::istream> StdFileOpener::OpenIn(const std::string& name) {
  auto in = std::make_unique<std::ifstream>(name, std::ios::in | std::ios::binary);
  if (!in->is_open()) return nullptr;
  return in;
}

std::unique_ptr<std::ostream> StdFileOpener::OpenOut(const std::string& name) {
  auto out = std::make_unique<std::ofstream>(name, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!out->is_open()) return nullptr;
  return out;
}

}  // namespace tw
