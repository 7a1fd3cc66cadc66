#include "console_window.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace zrconsole {

QString MonitorName(plat::WPARAM code)
{
    switch (code) {
    case COMM_MONITOR_CONNECTED: return QStringLiteral("connected");
    case COMM_MONITOR_WRITE_ACTIVITY: return QStringLiteral("writing");
    case COMM_MONITOR_READ_ACTIVITY: return QStringLiteral("reading");
    case COMM_MONITOR_LINE_EVENT: return QStringLiteral("line event");
    case COMM_MONITOR_CONNECTION_LOST: return QStringLiteral("connection lost");
    case COMM_MONITOR_NOT_CONNECTED: return QStringLiteral("not connected");
    case COMM_MONITOR_PORT_CLOSED: return QStringLiteral("port closed");
    case COMM_MONITOR_BAUD_STARTED: return QStringLiteral("baud change started");
    case COMM_MONITOR_BAUD_DONE: return QStringLiteral("baud change done");
    case COMM_MONITOR_BAUD_FAILED: return QStringLiteral("baud change failed");
    case COMM_MONITOR_RECORDS_REMOVED: return QStringLiteral("records removed");
    default: return QStringLiteral("code %1").arg(code);
    }
}

QString EventName(plat::WPARAM event)
{
    static const char* const names[] = {"other",     "sending",      "written",  "write failed",
                                        "no echo",   "reply begins", "time-out", "invalid data",
                                        "completed", "aborted",      "text"};
    return event < std::size(names) ? QString::fromLatin1(names[event]) : QStringLiteral("event %1").arg(event);
}

QString ResultName(CommandStatus status)
{
    switch (status) {
    case COMM_OK: return QStringLiteral("OK");
    case COMM_REPLY_UNKNOWN_COMMAND: return QStringLiteral("unknown command");
    case COMM_REPLY_UNKNOWN_OPTION: return QStringLiteral("unknown option");
    case COMM_REPLY_WRITE_INHIBIT: return QStringLiteral("write inhibited");
    case COMM_REPLY_READ_INHIBIT: return QStringLiteral("read inhibited");
    case COMM_REPLY_RANGE_OVER: return QStringLiteral("range over");
    case COMM_REPLY_CONDITION_MISMATCH: return QStringLiteral("condition mismatch");
    case COMM_REPLY_NOT_OMISSIBLE: return QStringLiteral("not omissible");
    case COMM_REPLY_PASSWORD_REQUIRED: return QStringLiteral("password required");
    case COMM_REPLY_DISABLE_COMMAND: return QStringLiteral("command disabled");
    case COMM_REPLY_READ_ONLY: return QStringLiteral("read only");
    case COMM_ERR_NOT_OPEN: return QStringLiteral("no port open");
    case COMM_ERR_NOT_CONNECTED: return QStringLiteral("no driver connected");
    case COMM_ERR_OPEN_FAILED: return QStringLiteral("the port cannot be opened");
    case COMM_ERR_SETUP_FAILED: return QStringLiteral("the port does not take the settings");
    case COMM_ERR_ALREADY_OPEN: return QStringLiteral("a port is open already");
    case COMM_ERR_INVALID_ARG: return QStringLiteral("invalid argument");
    case COMM_ERR_BUSY: return QStringLiteral("busy");
    case COMM_ERR_LINE_GONE: return QStringLiteral("the device is gone");
    case COMM_ERR_IDENTIFY_FAILED: return QStringLiteral("identification unreadable");
    default: return QStringLiteral("0x%1").arg(status, 8, 16, QLatin1Char('0'));
    }
}

namespace {

// Text from the driver for a plain-text view: CR LF and lone CR as line ends.
QString Readable(const QByteArray& bytes)
{
    QString s = QString::fromLatin1(bytes);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace

ConsoleWindow::ConsoleWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZrcommConsole"));
    setWindowTitle(QStringLiteral("zrcomm-console"));

    m_port = new QLineEdit(this);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setPlaceholderText(QStringLiteral("COM1 or /dev/pts/N"));
    auto* settings = new QPushButton(QStringLiteral("Settings..."), this);
    m_openButton = new QPushButton(QStringLiteral("Open"), this);
    m_openButton->setObjectName(QStringLiteral("open"));
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("Port:"), this));
    portRow->addWidget(m_port, 1);
    portRow->addWidget(settings);
    portRow->addWidget(m_openButton);

    m_status = new QLabel(QStringLiteral("No port open"), this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_monitor = new QPlainTextEdit(this);
    m_monitor->setObjectName(QStringLiteral("monitor"));
    m_monitor->setReadOnly(true);
    m_monitor->setMaximumBlockCount(500);

    m_command = new QLineEdit(this);
    m_command->setObjectName(QStringLiteral("command"));
    auto* sendCommandButton = new QPushButton(QStringLiteral("Send command"), this);
    auto* commandRow = new QHBoxLayout;
    commandRow->addWidget(m_command, 1);
    commandRow->addWidget(sendCommandButton);
    m_replies = new QPlainTextEdit(this);
    m_replies->setObjectName(QStringLiteral("replies"));
    m_replies->setReadOnly(true);

    m_terminalMode = new QCheckBox(QStringLiteral("Terminal mode (driver output between commands)"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("text"));
    auto* sendTextButton = new QPushButton(QStringLiteral("Send text"), this);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(m_text, 1);
    textRow->addWidget(sendTextButton);
    m_terminal = new QPlainTextEdit(this);
    m_terminal->setObjectName(QStringLiteral("terminal"));
    m_terminal->setReadOnly(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addWidget(m_status);
    auto* monitorBox = new QGroupBox(QStringLiteral("Monitor"), this);
    (new QVBoxLayout(monitorBox))->addWidget(m_monitor);
    layout->addWidget(monitorBox, 1);
    auto* commandBox = new QGroupBox(QStringLiteral("Commands"), this);
    auto* commandLayout = new QVBoxLayout(commandBox);
    commandLayout->addLayout(commandRow);
    commandLayout->addWidget(m_replies);
    layout->addWidget(commandBox, 2);
    auto* textBox = new QGroupBox(QStringLiteral("Direct text"), this);
    auto* textLayout = new QVBoxLayout(textBox);
    textLayout->addWidget(m_terminalMode);
    textLayout->addLayout(textRow);
    textLayout->addWidget(m_terminal);
    layout->addWidget(textBox, 2);
    resize(640, 720);

    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) { return handle(m, w, l); });

    connect(settings, &QPushButton::clicked, this, [this] { editSettings(); });
    connect(m_openButton, &QPushButton::clicked, this, [this] {
        if (m_open)
            closePort();
        else
            openPort();
    });
    auto doSendCommand = [this] {
        if (sendCommand(m_command->text()))
            m_command->clear();
    };
    connect(sendCommandButton, &QPushButton::clicked, this, doSendCommand);
    connect(m_command, &QLineEdit::returnPressed, this, doSendCommand);
    auto doSendText = [this] {
        if (sendText(m_text->text()))
            m_text->clear();
    };
    connect(sendTextButton, &QPushButton::clicked, this, doSendText);
    connect(m_text, &QLineEdit::returnPressed, this, doSendText);
    connect(m_terminalMode, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_open)
            return;
        const CommResult r = ZRComm_SetCommandMode(on ? 1 : 0);
        if (r != COMM_OK) {
            log(QStringLiteral("terminal mode: %1").arg(ResultName(r)));
            const QSignalBlocker block(m_terminalMode);
            m_terminalMode->setChecked(!on);
        }
    });
}

ConsoleWindow::~ConsoleWindow()
{
    if (m_open)
        ZRComm_Term();
    ZRComm_SetMonitorWnd(nullptr);
}

void ConsoleWindow::setPortName(const QString& name)
{
    m_port->setText(name);
}

QString ConsoleWindow::statusText() const
{
    return m_status->text();
}

void ConsoleWindow::showStatus(const QString& text)
{
    m_status->setText(text);
}

void ConsoleWindow::log(const QString& line)
{
    m_monitor->appendPlainText(line);
}

void ConsoleWindow::editSettings()
{
    const QByteArray name = m_port->text().trimmed().toLocal8Bit();
    if (name.isEmpty()) {
        showStatus(QStringLiteral("Name a port first"));
        return;
    }
    if (!m_haveSettings)
        m_haveSettings = ZRComm_GetDefaultCommConfig(name.constData(), &m_dcb) != 0;
    if (!m_haveSettings) {
        showStatus(QStringLiteral("%1: %2").arg(m_port->text(), ResultName(ZRComm_GetLastError())));
        return;
    }
    ZRComm_CommConfigDialog(name.constData(), m_bridge->hwnd(), &m_dcb);
}

bool ConsoleWindow::openPort()
{
    const QByteArray name = m_port->text().trimmed().toLocal8Bit();
    if (name.isEmpty()) {
        showStatus(QStringLiteral("Name a port first"));
        return false;
    }
    if (!m_haveSettings && !ZRComm_GetDefaultCommConfig(name.constData(), &m_dcb)) {
        showStatus(QStringLiteral("%1: %2").arg(m_port->text(), ResultName(ZRComm_GetLastError())));
        return false;
    }
    m_haveSettings = true;
    if (m_baud)
        m_dcb.BaudRate = m_baud;
    ZRComm_SetMonitorWnd(m_bridge->hwnd());
    const CommResult r = ZRComm_InitFromDCB(m_bridge->hwnd(), name.constData(), &m_dcb);
    if (r != COMM_OK) {
        QString status = QStringLiteral("%1: %2").arg(m_port->text(), ResultName(r));
        char why[512];
        if (r == COMM_ERR_OPEN_FAILED && ZRComm_GetOpenErrorText(why, sizeof why) > 0)
            status += QStringLiteral(" (%1)").arg(QString::fromUtf8(why));
        showStatus(status);
        return false;
    }
    m_open = true;
    m_openButton->setText(QStringLiteral("Close"));
    m_port->setEnabled(false);
    if (m_terminalMode->isChecked())
        ZRComm_SetCommandMode(1);
    showStatus(QStringLiteral("%1 open at %2 baud, looking for the driver").arg(m_port->text()).arg(m_dcb.BaudRate));
    return true;
}

void ConsoleWindow::closePort()
{
    if (!m_open)
        return;
    ZRComm_Term();
    m_open = false;
    m_openButton->setText(QStringLiteral("Open"));
    m_port->setEnabled(true);
    showStatus(QStringLiteral("No port open"));
}

CommandId ConsoleWindow::sendCommand(const QString& text)
{
    QByteArray bytes = text.toLatin1();
    if (bytes.isEmpty())
        return 0;
    if (!bytes.endsWith('\r'))
        bytes.append('\r');
    const CommandId id = ZRComm_SendCommandText(m_bridge->hwnd(), bytes.constData(), 0);
    if (!id)
        m_replies->appendPlainText(QStringLiteral("> %1: %2").arg(text, ResultName(ZRComm_GetLastError())));
    else
        m_replies->appendPlainText(QStringLiteral("> [%1] %2").arg(id).arg(text.trimmed()));
    return id;
}

bool ConsoleWindow::sendText(const QString& text)
{
    QByteArray bytes = text.toLatin1();
    bytes.append('\r');
    const CommResult r = ZRComm_SendText(m_bridge->hwnd(), bytes.constData());
    if (r != COMM_OK)
        m_terminal->appendPlainText(QStringLiteral("[%1]").arg(ResultName(r)));
    return r == COMM_OK;
}

plat::LRESULT ConsoleWindow::handle(plat::UINT msg, plat::WPARAM w, plat::LPARAM l)
{
    if (msg == WM_COMM_MONITOR)
        monitor(w, l);
    else if (msg == WM_COMM_COMMAND)
        commandEvent(w, static_cast<CommandId>(l));
    else if (msg == WM_COMM_TEXT)
        textEvent();
    return 0;
}

void ConsoleWindow::refreshConnection()
{
    char name[ZRCOMM_PORT_NAME_MAX];
    char id[ZRCOMM_DRIVER_ID_MAX];
    if (ZRComm_IsConnectedEx(name, sizeof name, id, sizeof id)) {
        const QString identification = Readable(QByteArray(id)).trimmed();
        showStatus(QStringLiteral("Connected on %1: %2")
                       .arg(QString::fromLocal8Bit(name),
                            QString(identification).replace(QLatin1Char('\n'), QStringLiteral(" / "))));
        if (onConnected)
            onConnected(identification);
    } else if (m_open) {
        showStatus(QStringLiteral("%1 open, no driver connected").arg(m_port->text()));
    }
}

void ConsoleWindow::monitor(plat::WPARAM code, plat::LPARAM value)
{
    if (code == COMM_MONITOR_WRITE_ACTIVITY || code == COMM_MONITOR_READ_ACTIVITY)
        return; // too many to list
    QString line = QStringLiteral("%1 %2").arg(code).arg(MonitorName(code));
    if (code == COMM_MONITOR_RECORDS_REMOVED)
        line += QStringLiteral(" (%1 before, %2 after)").arg(plat::LOWORD(value)).arg(plat::HIWORD(value));
    else if (value)
        line += QStringLiteral(" (0x%1)").arg(static_cast<qulonglong>(value), 0, 16);
    log(line);
    if (value == static_cast<plat::LPARAM>(COMM_ERR_LINE_GONE) ||
        value == static_cast<plat::LPARAM>(COMM_ERR_IDENTIFY_FAILED))
        lineFailed();
    else if (code == COMM_MONITOR_CONNECTED || code == COMM_MONITOR_CONNECTION_LOST ||
             code == COMM_MONITOR_NOT_CONNECTED)
        refreshConnection();
}

void ConsoleWindow::lineFailed()
{
    char text[512] = {};
    const CommResult why = ZRComm_GetLineError(text, sizeof text);
    const QString reason = why == COMM_ERR_IDENTIFY_FAILED
                               ? QStringLiteral("no driver identified: its identification reply could not be read "
                                                "(received: %1)")
                                     .arg(QString::fromLatin1(text))
                               : QStringLiteral("connection lost: %1").arg(QString::fromUtf8(text));
    // Nothing more will come on this port: it is closed, and a new Open starts afresh.
    const QString port = m_port->text();
    closePort();
    showStatus(QStringLiteral("%1: %2").arg(port, reason));
    log(reason);
    if (onLineFailed)
        onLineFailed(statusText());
}

void ConsoleWindow::commandEvent(plat::WPARAM event, CommandId id)
{
    const bool final = event == COMM_EVENT_WRITE_FAILED || event == COMM_EVENT_NO_ECHO || event == COMM_EVENT_TIMEOUT ||
                       event == COMM_EVENT_INVALID_DATA || event == COMM_EVENT_COMPLETED || event == COMM_EVENT_ABORTED;
    if (!final || !m_open)
        return; // a port closed since has nothing more to tell
    const CommandStatus status = ZRComm_GetCommandState(id);
    // The reply copy leaves out its last byte (the final CR of a whole reply): grow until it fits.
    std::vector<char> buffer(256);
    int n = ZRComm_GetReceiveCommandText(id, buffer.data(), static_cast<unsigned>(buffer.size()));
    while (n == static_cast<int>(buffer.size()) - 1) {
        buffer.resize(buffer.size() * 4);
        n = ZRComm_GetReceiveCommandText(id, buffer.data(), static_cast<unsigned>(buffer.size()));
    }
    const QString reply = Readable(QByteArray(buffer.data()));
    m_replies->appendPlainText(
        QStringLiteral("< [%1] %2, %3\n%4")
            .arg(id)
            .arg(EventName(event), event == COMM_EVENT_COMPLETED ? ResultName(status) : QString())
            .arg(reply.trimmed()));
    // Ended commands hold back the queue until they are removed.
    ZRComm_RemoveCommand(id);
    if (onCommandEnded)
        onCommandEnded(id, status, reply);
}

void ConsoleWindow::textEvent()
{
    char buffer[512];
    QByteArray all;
    int n;
    while ((n = ZRComm_GetReceiveText(buffer, sizeof buffer)) > 0)
        all.append(buffer, n);
    if (all.isEmpty())
        return;
    m_terminal->moveCursor(QTextCursor::End);
    m_terminal->insertPlainText(Readable(all));
    m_terminal->moveCursor(QTextCursor::End);
}

} // namespace zrconsole
