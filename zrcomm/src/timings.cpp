#include "timings.h"

namespace zrcomm::detail {

Timings& timings() {
    static Timings t;
    return t;
}

TestHooks& testHooks() {
    static TestHooks h;
    return h;
}

} // namespace zrcomm::detail
