#include "PageRange.h"

namespace zrreport {

PageRange PageRange::Check(int from, int to, int pageCount)
{
    PageRange range;
    if (from <= 0 && to <= 0) return range; // all pages
    if (from <= 0) from = 1;
    if (to <= 0) to = pageCount;
    if (from > to) {
        range.print = false;
        range.message = Message::StartAfterEnd;
    } else if (from > pageCount) {
        range.print = false;
        range.message = Message::StartAfterCount;
    } else if (to > pageCount) {
        range.message = Message::EndAfterCount;
        to = pageCount;
    }
    range.from = from;
    range.to = to;
    return range;
}

} // namespace zrreport
