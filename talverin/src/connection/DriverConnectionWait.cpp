// The connection's please-wait dialog (WM_WAIT_DIALOG), the windows it disables, the communication
// error boxes (WM_COMM_ERROR), the line-speed change for the oscilloscope and the activity notice.
#include "connection/DriverConnection.h"

#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/ProgramState.h"
#include "connection/CBusyDlg.h"
#include "connection/ConnectionHost.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverQueue.h"
#include "connection/PortRecord.h"
#include "screens/TerminalWindowBase.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/messages.h>
#include <platform/qt/window_bridge.h>

#include <QApplication>
#include <QStyle>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;

namespace {

constexpr plat::UINT kWarning = plat::MB_OK | plat::MB_ICONWARNING;
constexpr plat::DWORD kBaudBusyLimitMs = 10000;
constexpr WPARAM kBaudSetFailed = 20;
constexpr WPARAM kTransferTimeout = 3;

} // namespace

// ---- The please-wait dialog ---------------------------------------------------------------------

CBusyDlg* DriverConnection::BusyDialog() const
{
    return m_busyDlg.data();
}

void DriverConnection::SetTerminalWindow(TerminalWindowBase* window)
{
    m_terminalWindow = window;
}

void DriverConnection::SetCommandWindow(QWidget* window)
{
    m_commandWindow = window;
}

plat::HWND DriverConnection::commandWindowHandle() const
{
    return m_commandWindow ? plat::qt::HandleFromObject(m_commandWindow) : nullptr;
}

void DriverConnection::SetTerminalWritable(bool writable)
{
    if (m_terminalWindow)
        m_terminalWindow->SetTerminalReadOnly(!writable);
}

void DriverConnection::setToolWindowsEnabled(bool enabled)
{
    if (m_terminalWindow)
        m_terminalWindow->setEnabled(enabled);
    if (m_commandWindow)
        m_commandWindow->setEnabled(enabled);
}

plat::HWND DriverConnection::boxOwner() const
{
    return m_busyDlg && m_busyDlg->isVisible() ? m_busyDlg->GetSafeHwnd() : m_host.GetSafeHwnd();
}

void DriverConnection::showWait(const QString& text, LPARAM cancelTag)
{
    const QByteArray utf8 = text.toUtf8();
    WaitDialogInfo info;
    info.text = utf8.constData();
    info.notify = m_host.GetSafeHwnd();
    info.cancelTag = cancelTag;
    showWaitDialog(info);
}

void DriverConnection::showWaitDialog(const WaitDialogInfo& info)
{
    OnWaitDialog(WaitDialog::Show, reinterpret_cast<LPARAM>(&info));
}

void DriverConnection::hideWait()
{
    OnWaitDialog(WaitDialog::Hide, 0);
}

LRESULT DriverConnection::OnWaitDialog(WPARAM action, LPARAM lParam)
{
    if (action == WaitDialog::Query)
        return m_busyDlg && m_busyDlg->isVisible() ? reinterpret_cast<LRESULT>(m_busyDlg->GetSafeHwnd()) : 0;
    if (action == WaitDialog::Hide) {
        // The read-all before a save keeps its dialog up for the alarm read that follows.
        if (m_busy == 1 && m_operationTag == ConnectionTag::SaveReadAll)
            return 0;
        m_window.setEnabled(true);
        setToolWindowsEnabled(true);
        if (m_busyDlg) {
            m_busyDlg->hide();
            // Later: this may run inside the dialog's own Cancel.
            m_busyDlg->deleteLater();
            m_busyDlg.clear();
        }
        if (!m_host.IsDestroyed())
            m_window.setFocus();
        return 0;
    }
    if (action != 5 || !lParam || m_host.IsDestroyed())
        return 0;
    const auto& info = *reinterpret_cast<const WaitDialogInfo*>(lParam);
    // A disabled parent would disable Cancel: none, unless a modal dialog runs (it would hide
    // the dialog behind it and keep its input).
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == m_busyDlg.data())
        modal = nullptr;
    if (!m_busyDlg)
        m_busyDlg = new CBusyDlg(m_host.GetSafeHwnd(), modal);
    else if (m_busyDlg->parentWidget() != modal)
        m_busyDlg->setParent(modal, m_busyDlg->windowFlags());
    m_busyDlg->SetInfo(info);
    m_window.raise();
    m_busyDlg->adjustSize();
    m_busyDlg->move(m_window.geometry().center() - m_busyDlg->rect().center());
    m_busyDlg->show();
    setToolWindowsEnabled(false);
    m_busyDlg->raise();
    m_busyDlg->activateWindow();
    m_window.setEnabled(false);
    return 0;
}

// ---- Error reports ------------------------------------------------------------------------------

LRESULT DriverConnection::OnCommError(WPARAM code, LPARAM flags)
{
    // While the device is gone every window's failure is that one: the user hears of it once.
    if (code != COMM_ERR_LINE_GONE && reportLineGone()) {
        m_app.m_askBeforeSave = 1;
        return 1;
    }
    if (flags == comm_error::kDisconnect) {
        CurrentDriverQueue().removeCommand(0);
        disconnect(static_cast<LPARAM>(code));
    }
    LRESULT result = 1;
    // A failed line-speed change carries the oscilloscope's failure code, not flags.
    const bool baudFailed = code == kBaudSetFailed;
    if (baudFailed || !(flags & comm_error::kNoBox)) {
        const auto errorText = [this](std::uint32_t c) {
            const std::string text = model::GetCommErrorText(c, m_app.m_language);
            return text.empty() ? QString() : tr("\n\nContents of error:") + QString::fromStdString(text);
        };
        QString text;
        QString title;
        if (code == COMM_ERR_PROMPT_TIMEOUT) {
            text = tr("Comunication time out.\nCheck the device condition and re-try.");
            title = tr("Communication time out");
        } else if (code == kTransferTimeout) {
            text = tr("Check the status of your unit and try again");
            title = tr("Data transfer time out");
        } else if (baudFailed) {
            text = tr("Failed to set baud rate.\nMust restart system.\nPlease check the system and re-try.\nIf error "
                      "occurs again, check [Oscillo]BaudRate setting under Talverin.ini") +
                   errorText(static_cast<std::uint32_t>(flags));
            title = tr("Baud rate set error");
        } else {
            const bool named = m_failureContents && m_failureContents->first == code;
            text = tr("Communication error occured.\nCheck the device and re-try.") +
                   (named ? tr("\n\nContents of error:") + m_failureContents->second
                          : errorText(static_cast<std::uint32_t>(code)));
            title = tr("Communication error");
        }
        m_failureContents.reset();
        result = AppMessageBox(boxOwner(), text, title, kWarning);
        if (flags == comm_error::kDisconnect && m_busyDlg && m_busyDlg->isVisible())
            plat::PostMessage(m_busyDlg->GetSafeHwnd(), plat::WM_COMMAND, 2, 0);
    }
    m_app.m_askBeforeSave = 1;
    return result;
}

// ---- Line speed ---------------------------------------------------------------------------------

LRESULT DriverConnection::OnChangeBaudRate(WPARAM toCapture, LPARAM changedFlag)
{
    int* changed = reinterpret_cast<int*>(changedFlag);
    const auto captureRate = static_cast<plat::DWORD>(m_app.m_dataFile.m_captureBaudRate);
    if (!m_portRecord) {
        if (changed)
            *changed = 0;
        AppMessageBox(m_host.GetSafeHwnd(), tr("Port is disconnected.\nConnect and then re-try."), tr("Baud rate change error"),
                      kWarning);
        return COMM_ERR_NOT_OPEN;
    }
    const plat::DWORD portRate = m_portRecord->Dcb().BaudRate;
    if (captureRate == portRate) {
        if (changed)
            *changed = 0;
        return 0;
    }
    if (changed)
        *changed = 1;
    m_baudChangeBusy = 1;
    const plat::DWORD start = plat::GetTickCount();
    const plat::DWORD rate = toCapture == 1 ? captureRate : portRate;
    for (;;) {
        const CommResult result = ZRComm_SetBaudRate(rate);
        if (result == COMM_ERR_BUSY) {
            const std::uint32_t monitor = model::GetCommEventState();
            if (monitor != COMM_MONITOR_CONNECTION_LOST && monitor != COMM_MONITOR_PORT_CLOSED &&
                plat::TicksSince(start) < kBaudBusyLimitMs) {
                // The queue must drain first: only its notices run meanwhile.
                plat::PumpMessageRange(nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, 1);
                plat::Sleep(100);
                continue;
            }
            AppMessageBox(m_host.GetSafeHwnd(),
                          tr("Baud rate cannot change during communication.\nPause the terminal process.\nIf used by "
                             "another process, stop the process."),
                          tr("Baud rate change error"), kWarning);
        } else if (result == COMM_ERR_INVALID_ARG) {
            AppMessageBox(m_host.GetSafeHwnd(),
                          tr("Parameter setting is incorrect.\nCheck the [Oscillo]BaudRate under Talverin.ini\nSetting "
                             "range is 9600,19200,38400,57600"),
                          tr("Baus rate setting error"), kWarning);
        } else if (result == COMM_ERR_NOT_OPEN) {
            AppMessageBox(m_host.GetSafeHwnd(), tr("Port is disconnected.\nConnect and then re-try."),
                          tr("Baud rate change error"), kWarning);
        } else {
            return result; // the change runs: its end comes as WM_BAUD_CHANGE_STATE
        }
        m_baudChangeBusy = 0;
        return result;
    }
}

LRESULT DriverConnection::OnBaudChangeState(WPARAM code, LPARAM value)
{
    if (code == COMM_MONITOR_BAUD_STARTED)
        m_baudChangeBusy = 1;
    else if (code == COMM_MONITOR_BAUD_DONE || code == COMM_MONITOR_BAUD_FAILED)
        m_baudChangeBusy = 0;
    SendToViews({VIEW_OSCILLO, VIEW_PARAM, VIEW_IO, VIEW_CHANNEL, VIEW_TERMINAL}, WM_BAUD_CHANGE_STATE, code, value);
    return 0;
}

LRESULT DriverConnection::OnCommActivity(WPARAM, LPARAM)
{
    // Data flowing in a filtered wait must not leave the dialog's Cancel unserved.
    const plat::HWND dialog = m_busyDlg && m_busyDlg->isVisible() ? m_busyDlg->GetSafeHwnd() : nullptr;
    plat::PumpMessageRange(dialog, 0, 0xFFFFFFFFu, 1);
    if (m_busyDlg && m_busyDlg->isVisible())
        QCoreApplication::sendPostedEvents(m_busyDlg.data());
    return 1;
}

} // namespace talverin
