// Waiting in tests for something another thread or a device does: polls the condition every
// millisecond until it holds or the limit passes (the limit only keeps a broken test from
// hanging; no test depends on how fast the condition comes true).
#pragma once

#include <functional>

namespace plat::test {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

} // namespace plat::test
