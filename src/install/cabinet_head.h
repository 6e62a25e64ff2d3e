// How much of a cabinet's start holds its headers and the support files (the members setup's
// start page unpacks): a single-file build checks that much at start-up, so the pages can show
// while the rest of the payload is still being checked.
#pragma once
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>

namespace tw {

// The byte count from the cabinet's start to the end of the data block after the one holding the
// last byte of any member wanted says yes to (a block's margin, so a reader's look ahead stays
// inside), and never less than the headers. Nothing when the cabinet cannot be read as one
// cabinet on its own.
std::optional<uint64_t> CabinetHeadSize(std::istream& cabinet, uint64_t cabinetSize,
                                        const std::function<bool(const std::string& storedName)>& wanted);

}  // namespace tw
