// The send thread of an open port. It wakes on the wake event and ends on the stop event. Choosing
// and writing what is due on the line (the head record's next line, control bytes, the probe) is
// the line protocol's part and plugs in where the pass takes its work.
#include "comm_port.h"

namespace zrcomm {

using namespace plat;

void CCommPort::SendThreadMain() {
    if (m_stopEvent.isSet()) return;
    for (;;) {
        Sleep(m_t.passSleepMs);
        if (WaitForMultiple({&m_stopEvent, &m_wakeEvent}, INFINITE) != WAIT_OBJECT_0 + 1) break;
        PortLock lock(*this);
        m_wakeEvent.reset();
    }
}

} // namespace zrcomm
