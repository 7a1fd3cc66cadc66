#include "connection/CBusyDlg.h"

#include <platform/messages.h>
#include <platform/sync.h>
#include <platform/qt/window_bridge.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace talverin {

namespace {
constexpr plat::UINT kIdCancel = 2;
}

CBusyDlg::CBusyDlg(plat::HWND mainWindow, QWidget* parent) : QDialog(parent), m_mainWindow(mainWindow)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("Operating data"));
    setModal(false);

    m_text = new QLabel(this);
    m_text->setObjectName(QString::number(IDC_MESSAGE));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setMinimumWidth(220);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QString::number(IDC_CANCEL));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &CBusyDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);

    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) { return windowProc(m, w, l); });
}

CBusyDlg::~CBusyDlg()
{
    // Whoever waits for the dialog learns that it went without a Cancel.
    if (!m_cancelled && m_mainWindow)
        plat::PostMessage(m_mainWindow, WM_WAIT_CANCEL, 2, -1);
}

plat::HWND CBusyDlg::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

void CBusyDlg::SetInfo(const WaitDialogInfo& info)
{
    m_info = info;
    m_text->setText(info.text ? QString::fromUtf8(info.text) : QString());
    m_info.text = nullptr; // the caller's text lives only for its send
    m_result = 1;
    m_cancelled = false;
}

QString CBusyDlg::Text() const
{
    return m_text->text();
}

void CBusyDlg::reject()
{
    if (m_info.cancelEvent) {
        m_info.cancelEvent->set();
        m_result = kResultCancelled;
        QDialog::done(kResultCancelled);
        return;
    }
    if (!m_info.notify)
        return;
    m_cancelled = true;
    // The owner undoes its step; only its 1 lets the dialog go.
    if (plat::SendMessage(m_info.notify, m_info.cancelMessage, 2, m_info.cancelTag) == 1) {
        m_result = kResultCancelled;
        QDialog::done(kResultCancelled);
    }
}

plat::LRESULT CBusyDlg::windowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM)
{
    if (message == plat::WM_COMMAND && (wParam & 0xFFFF) == kIdCancel)
        reject();
    return 0;
}

} // namespace talverin
