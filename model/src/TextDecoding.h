// Files written on the original platform are Shift_JIS (code page 932); ours are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace model {

bool IsValidUtf8(std::string_view bytes);

// The bytes as UTF-8: unchanged when they already are, else decoded as code page 932 with every
// byte that is not valid there replaced by U+FFFD.
std::string DecodeFileText(std::string_view bytes);

} // namespace model
