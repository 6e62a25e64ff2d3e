// Windows-style wildcard matching of file names ('*', '?', case-insensitive, "*.*" matches all).
#pragma once
#include <string>

namespace tw {

// True when name matches pattern the way FindFirstFile matches a long file name.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace tw
