#include "platform/wildcard.h"

#include <cctype>

namespace tw {
namespace {

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// Iterative glob match with single-star backtracking: linear in practice, never recursive.
bool Glob(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (Glob(pattern, name)) return true;
  // A trailing ".*" also matches names without any extension, as the old DOS rule had it.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos)
    return Glob(pattern.substr(0, pattern.size() - 2), name);
  return false;
}

}  // namespace tw
