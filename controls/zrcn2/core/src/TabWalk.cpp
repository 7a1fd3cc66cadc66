#include "zrcn2/TabWalk.h"

namespace zrcn2 {

RowPart NextTabStop(RowPart from, bool backward, const EnabledParts& enabled)
{
    const int step = backward ? -1 : 1;
    int i = from == RowPart::None ? (backward ? 2 : 0) : static_cast<int>(from) + step;
    for (; i >= 0 && i <= 2; i += step) {
        if (enabled[static_cast<std::size_t>(i)])
            return static_cast<RowPart>(i);
    }
    return RowPart::None;
}

RowPart FocusTarget(const EnabledParts& enabled)
{
    return NextTabStop(RowPart::None, false, enabled);
}

} // namespace zrcn2
