#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Inputs larger than this are skipped: the readers' cost grows with the map,
// and small maps already reach every branch, so the fuzzer stays fast.
constexpr std::size_t kMaxFuzzInput = 4096;

inline std::string fuzzText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
