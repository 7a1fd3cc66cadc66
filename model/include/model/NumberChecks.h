// Small checks on numbers typed by the user or taken from the driver's replies.
#pragma once

#include <cstdint>
#include <string_view>

namespace model {

// 1 when every character is a digit, except one '+' or '-' in the first position and one '.'
// anywhere; the empty text gives 1.
int IsNumberText(std::string_view text);

// 1 for the step values 1, 2 and 5.
int IsStepValue(long long value);

// 10 to the power n (1 for n <= 0); saturates at the largest 64-bit value instead of overflowing.
std::int64_t PowerOfTen(int n);

} // namespace model
