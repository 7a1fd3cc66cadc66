#include "model/NumberChecks.h"

#include <cstdint>
#include <limits>

namespace model {

int IsNumberText(std::string_view text)
{
    bool seenPoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            continue;
        if ((c == '+' || c == '-') && i == 0)
            continue;
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        return 0;
    }
    return 1;
}

int IsStepValue(long long value)
{
    return value == 1 || value == 2 || value == 5 ? 1 : 0;
}

std::int64_t PowerOfTen(int n)
{
    std::int64_t result = 1;
    for (int i = 0; i < n; ++i) {
        if (result > std::numeric_limits<std::int64_t>::max() / 10)
            return std::numeric_limits<std::int64_t>::max();
        result *= 10;
    }
    return result;
}

} // namespace model
