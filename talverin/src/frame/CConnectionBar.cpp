#include "frame/CConnectionBar.h"

#include "common/AppMessages.h"
#include "connection/DriverQueue.h"

#include <model/CommandSupport.h>
#include <platform/messages.h>
#include <platform/qt/dialog_units.h>
#include <platform/qt/window_bridge.h>
#include <platform/qt/window_timers.h>
#include <zrcomm/zrcomm_api.h>

#include <QAction>
#include <QPainter>

namespace talverin {

namespace {

constexpr plat::COLORREF kLitFill = 0x80FF80;
constexpr plat::COLORREF kLitTopLeft = 0xC0FFC0;
constexpr plat::COLORREF kLitBottomRight = 0x404040;
constexpr plat::COLORREF kLitText = 0x000000;
constexpr plat::COLORREF kLampActive = 0xFFFF00; // cyan: red 0, green 255, blue 255
constexpr unsigned kSendBit = 1;
constexpr unsigned kReceiveBit = 2;

} // namespace

CConnectionBar::CConnectionBar(plat::HWND mainWindow, std::function<bool()> operationRunning, QWidget* parent)
    : QToolBar(tr("Connection tool"), parent), m_mainWindow(mainWindow), m_operationRunning(std::move(operationRunning))
{
    setObjectName(QString::number(IDD));
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) { return windowProc(m, w, l); });

    const QSize button = plat::qt::MapDialogRect(QRect(0, 0, 40, 14), font()).size();
    const QSize lamp = plat::qt::MapDialogRect(QRect(0, 0, 16, 14), font()).size();
    auto drawButton = [this](OwnerDrawButton& b, const plat::qt::DrawItemInfo& item) { this->drawButton(b, item); };
    auto drawLamp = [this](OwnerDrawButton& b, const plat::qt::DrawItemInfo& item) { this->drawLamp(b, item); };

    m_connectAction = new QAction(tr("Connect"), this);
    m_disconnectAction = new QAction(tr("Disconnect"), this);
    m_connect = new OwnerDrawButton(IDC_CONNECT, button, drawButton, this);
    m_connect->setDefaultAction(m_connectAction);
    m_disconnect = new OwnerDrawButton(IDC_DISCONNECT, button, drawButton, this);
    m_disconnect->setDefaultAction(m_disconnectAction);
    m_sendLamp = new OwnerDrawButton(IDC_SEND_LAMP, lamp, drawLamp, this);
    m_sendLamp->setText(tr("TX"));
    m_receiveLamp = new OwnerDrawButton(IDC_RECEIVE_LAMP, lamp, drawLamp, this);
    m_receiveLamp->setText(tr("RX"));
    for (OwnerDrawButton* l : {m_sendLamp, m_receiveLamp})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    addWidget(m_connect);
    addWidget(m_disconnect);
    addWidget(m_sendLamp);
    addWidget(m_receiveLamp);
}

CConnectionBar::~CConnectionBar()
{
    setEnabled(false);
    plat::qt::KillTimer(this, IDC_SEND_LAMP);
    plat::qt::KillTimer(this, IDC_RECEIVE_LAMP);
}

plat::HWND CConnectionBar::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

OwnerDrawButton* CConnectionBar::Control(int id) const
{
    switch (id) {
    case IDC_CONNECT: return m_connect;
    case IDC_DISCONNECT: return m_disconnect;
    case IDC_SEND_LAMP: return m_sendLamp;
    case IDC_RECEIVE_LAMP: return m_receiveLamp;
    default: return nullptr;
    }
}

void CConnectionBar::SetDisplayState(int state)
{
    m_displayState = state;
    Repaint();
}

void CConnectionBar::Repaint()
{
    for (QWidget* w : {static_cast<QWidget*>(m_connect), static_cast<QWidget*>(m_disconnect),
                       static_cast<QWidget*>(m_sendLamp), static_cast<QWidget*>(m_receiveLamp)})
        w->update();
}

plat::LRESULT CConnectionBar::windowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam)
{
    if (message == WM_COMM_MONITOR)
        return OnCommMonitor(wParam, lParam);
    if (message == plat::WM_TIMER && (wParam == IDC_SEND_LAMP || wParam == IDC_RECEIVE_LAMP)) {
        plat::qt::KillTimer(this, wParam);
        m_lampsLit &= wParam == IDC_SEND_LAMP ? ~kSendBit : ~kReceiveBit;
        Control(static_cast<int>(wParam))->update();
    }
    return 0;
}

plat::LRESULT CConnectionBar::OnCommMonitor(plat::WPARAM code, plat::LPARAM value)
{
    if (code == COMM_MONITOR_LINE_EVENT || code < COMM_MONITOR_CONNECTED || code > COMM_MONITOR_RECORDS_REMOVED)
        return 0;
    const std::uint32_t previous = model::GetCommEventState();
    model::SetCommEventState(static_cast<std::uint32_t>(code));
    switch (code) {
    case COMM_MONITOR_CONNECTED:
        plat::PostMessage(m_mainWindow, WM_COMM_STATE_CHANGED, 1, 0);
        Repaint();
        break;
    case COMM_MONITOR_WRITE_ACTIVITY:
        lampActivity(kSendBit, m_sendLamp);
        plat::SendMessage(m_mainWindow, WM_COMM_ACTIVITY, code, value);
        break;
    case COMM_MONITOR_READ_ACTIVITY:
        lampActivity(kReceiveBit, m_receiveLamp);
        plat::SendMessage(m_mainWindow, WM_COMM_ACTIVITY, code, value);
        break;
    case COMM_MONITOR_CONNECTION_LOST:
    case COMM_MONITOR_NOT_CONNECTED:
        // A first loss leaves the state to the disconnection it starts; a second one marks it.
        if (previous == COMM_MONITOR_CONNECTION_LOST)
            m_displayState = kDisconnected;
        Repaint();
        // The code goes along: activity notices of the next probes may come first.
        plat::PostMessage(m_mainWindow, WM_COMM_STATE_CHANGED, 0, static_cast<plat::LPARAM>(code));
        break;
    case COMM_MONITOR_PORT_CLOSED:
        m_displayState = kDisconnected;
        if (previous != COMM_MONITOR_CONNECTION_LOST && previous != COMM_MONITOR_NOT_CONNECTED) {
            Repaint();
            plat::PostMessage(m_mainWindow, WM_COMM_STATE_CHANGED, 0, COMM_MONITOR_PORT_CLOSED);
        }
        break;
    case COMM_MONITOR_BAUD_STARTED:
    case COMM_MONITOR_BAUD_DONE:
    case COMM_MONITOR_BAUD_FAILED:
        plat::PostMessage(m_mainWindow, WM_BAUD_CHANGE_STATE, code, value);
        break;
    case COMM_MONITOR_RECORDS_REMOVED:
        plat::PostMessage(m_mainWindow, WM_COMMAND_TOOL_REPLY, 0, value);
        break;
    default:
        break;
    }
    return 0;
}

void CConnectionBar::lampActivity(int bit, OwnerDrawButton* lamp)
{
    m_lampFlags |= static_cast<unsigned>(bit);
    lamp->update();
}

void CConnectionBar::drawLamp(OwnerDrawButton& lamp, const plat::qt::DrawItemInfo& item)
{
    const unsigned bit = lamp.id() == IDC_SEND_LAMP ? kSendBit : kReceiveBit;
    // New activity lights the lamp for one period; further paints in that period keep it lit.
    if (m_lampFlags & bit) {
        m_lampFlags &= ~bit;
        m_lampsLit |= bit;
        plat::qt::SetTimer(this, static_cast<plat::UINT_PTR>(lamp.id()), kLampMs);
    }
    const QColor fill = (m_lampsLit & bit) ? plat::ColorFromColorRef(kLampActive) : ButtonFaceColor();
    plat::qt::DrawFlatCell(lamp.text(), item, 0, fill, plat::ColorFromColorRef(plat::SystemColorRef(plat::COLOR_BTNSHADOW)),
                           plat::ColorFromColorRef(plat::SystemColorRef(plat::COLOR_3DLIGHT)), false);
}

void CConnectionBar::drawButton(OwnerDrawButton& button, const plat::qt::DrawItemInfo& item)
{
    const bool lit = button.id() == IDC_CONNECT ? CurrentDriverQueue().isConnected()
                                                : m_displayState == kDisconnected;
    if (lit) {
        // The lit button shows the state and is the disabled one of the pair: greyed (or a dark
        // theme's light) text would vanish into the light green.
        item.painter->save();
        item.painter->setPen(plat::ColorFromColorRef(kLitText));
        plat::qt::DrawFlatCell(button.text(), item, 0, plat::ColorFromColorRef(kLitFill),
                               plat::ColorFromColorRef(kLitTopLeft), plat::ColorFromColorRef(kLitBottomRight), false);
        item.painter->restore();
        return;
    }
    const bool operation = m_operationRunning && m_operationRunning();
    if ((item.state & plat::qt::ODS_SELECTED) && !operation)
        DrawPressedCell(button.text(), item, ButtonFaceColor());
    else
        DrawRaisedCell(button.text(), item);
}

} // namespace talverin
