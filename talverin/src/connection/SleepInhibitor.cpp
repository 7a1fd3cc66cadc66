#include "connection/SleepInhibitor.h"

#include <platform/text.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <unistd.h>

namespace talverin {

namespace {

// The login manager answers at once; a bus that hangs must not hold up the connection long.
constexpr int kCallTimeoutMs = 2000;

SleepInhibitorTaker& currentTaker()
{
    static SleepInhibitorTaker taker;
    return taker;
}

} // namespace

int TakeLoginManagerSleepInhibitor()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return -1;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                                                       QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                                       QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Talverin") << QStringLiteral("Connected to the driver unit")
         << QStringLiteral("block");
    const QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid() || !reply.value().isValid())
        return -1;
    // The reply closes its own descriptor when it goes; the inhibitor lives on in this copy.
    return ::fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 0);
}

SleepInhibitorTaker SetSleepInhibitorTaker(SleepInhibitorTaker taker)
{
    SleepInhibitorTaker previous = std::move(currentTaker());
    currentTaker() = std::move(taker);
    return previous;
}

bool DeniesSleepWhileConnected(std::string_view setting)
{
    return plat::EqualsNoCase(setting, "DENY");
}

bool SleepInhibitor::Hold()
{
    if (m_fd < 0)
        m_fd = currentTaker() ? currentTaker()() : TakeLoginManagerSleepInhibitor();
    return m_fd >= 0;
}

void SleepInhibitor::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace talverin
