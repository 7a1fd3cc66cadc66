// The print dialog's page range checked against the pages of the laid-out report before printing:
// a range that starts after its end or after the last page stops the job with an error; one that
// ends after the last page is cut to it with a warning, and the job goes on.
#pragma once

namespace zrreport {

struct PageRange {
    enum class Message { None, StartAfterEnd, StartAfterCount, EndAfterCount };

    bool print = true;    // false: the job stops
    Message message = Message::None;
    int from = 0;         // pages to print, 1-based; 0 and 0: all of them
    int to = 0;

    // from and to as the printer holds them (both 0 when no range was chosen).
    static PageRange Check(int from, int to, int pageCount);
};

} // namespace zrreport
