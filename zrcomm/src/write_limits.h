// How long one write may take and how often the clear-to-send line is looked at before it.
#pragma once

#include <algorithm>
#include <cstdint>

namespace zrcomm {

// The bytes' time at perByteMs each plus a fixed margin: linear in the length of the write.
inline std::uint64_t WriteDeadlineMs(std::uint32_t perByteMs, std::uint32_t n, std::uint32_t marginMs)
{
    return std::uint64_t{perByteMs} * n + marginMs;
}

// The pause between two looks at clear-to-send: a tenth of the bytes' time, at least minMs, and never
// more than half a second, since the port's lock is held meanwhile.
inline std::uint32_t CtsPollMs(std::uint32_t perByteMs, std::uint32_t n, std::uint32_t minMs)
{
    constexpr std::uint64_t kCap = 500;
    const std::uint64_t tenth = std::uint64_t{perByteMs} * n / 10;
    return static_cast<std::uint32_t>(std::min(std::max<std::uint64_t>(tenth, minMs), kCap));
}

} // namespace zrcomm
