// The one error type of the file-crypt component: what() is the component's message text, word for word.
#pragma once
#include <stdexcept>
#include <string>

namespace tw {

class FileCryptError : public std::runtime_error {
 public:
  explicit FileCryptError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tw
