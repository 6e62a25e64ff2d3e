// SHA-256 blocks through the processor's SHA extensions, where it has them: a single-file setup
// hashes its whole payload before installing, and this makes that a fraction of the copy's time.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tw {

// Whether this processor (and build) can run ShaExtensionsTransform.
bool ShaExtensionsAvailable();

// Runs blocks 64-byte blocks of data through state, as the portable transform does block by block.
void ShaExtensionsTransform(uint32_t state[8], const uint8_t* data, size_t blocks, const uint32_t roundConstants[64]);

}  // namespace tw
