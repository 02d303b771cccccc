// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FNV-1a over bytes: a compact fingerprint of long exact outputs, pinned in tests.
#include <cstddef>
#include <cstdint>

namespace q60::test {

inline uint64_t fnv1a(uint64_t hash, const void* data, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t k = 0; k < length; ++k)
        hash = (hash ^ bytes[k]) * 0x100000001b3ULL;
    return hash;
}

inline constexpr uint64_t fnvStart = 0xcbf29ce484222325ULL;

}  // namespace q60::test
