#include "frame/CDebugDlg.h"

#include "connection/DriverQueue.h"

#include <platform/qt/window_bridge.h>
#include <platform/qt/window_timers.h>
#include <zrcomm/zrcomm_api.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace talverin {

namespace {

QPushButton* button(QWidget* parent, int id, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    return b;
}

} // namespace

CDebugDlg::CDebugDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("Debug window"));
    setModal(false);
    m_bridge = std::make_unique<plat::qt::WindowBridge>(this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM) {
        if (m == plat::WM_TIMER && w == kTimerId) {
            if (m_auto->isChecked())
                OnList();
            else
                plat::KillTimer(GetSafeHwnd(), kTimerId);
        }
        return plat::LRESULT{0};
    });

    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QString::number(IDC_LOG));
    m_log->setReadOnly(true);
    m_ids = new QComboBox(this);
    m_ids->setObjectName(QString::number(IDC_IDS));
    m_auto = new QCheckBox(tr("List every second"), this);
    m_auto->setObjectName(QString::number(IDC_AUTO));
    QPushButton* list = button(this, IDC_LIST, tr("List"));
    QPushButton* show = button(this, IDC_SHOW, tr("Show text"));
    QPushButton* remove = button(this, IDC_REMOVE, tr("Remove"));
    QPushButton* close = button(this, 2, tr("Close"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_log, 0, 0, 1, 4);
    layout->addWidget(m_ids, 1, 0, 1, 2);
    layout->addWidget(show, 1, 2);
    layout->addWidget(remove, 1, 3);
    layout->addWidget(list, 2, 0);
    layout->addWidget(m_auto, 2, 1, 1, 2);
    layout->addWidget(close, 2, 3);
    resize(420, 320);

    connect(list, &QPushButton::clicked, this, &CDebugDlg::OnList);
    connect(show, &QPushButton::clicked, this, &CDebugDlg::OnShow);
    connect(remove, &QPushButton::clicked, this, &CDebugDlg::OnRemove);
    connect(m_auto, &QCheckBox::toggled, this, &CDebugDlg::OnAutoToggled);
    connect(close, &QPushButton::clicked, this, &CDebugDlg::hide);
}

CDebugDlg::~CDebugDlg() = default;

plat::HWND CDebugDlg::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

void CDebugDlg::appendLog(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_log->moveCursor(QTextCursor::End);
    m_log->insertPlainText(lines);
    m_log->moveCursor(QTextCursor::End);
    m_log->ensureCursorVisible();
}

void CDebugDlg::OnList()
{
    m_ids->clear();
    DriverQueue& queue = CurrentDriverQueue();
    const std::vector<CommandId> ids = queue.commandIds();
    if (ids.empty()) {
        appendLog(tr("There are no command ids.") + QStringLiteral("\r\n"));
        return;
    }
    for (int i = 0; i < static_cast<int>(ids.size()); ++i) {
        const CommandId id = ids[static_cast<std::size_t>(i)];
        const auto param = static_cast<qulonglong>(queue.commandTag(id));
        const QString line = QStringLiteral("%1:ID=%2, Param=%3")
                                 .arg(i, 3, 10, QLatin1Char('0'))
                                 .arg(id)
                                 .arg(param, 0, 16);
        m_ids->addItem(line, id);
        appendLog(line + QStringLiteral("\r\n"));
    }
    if (m_ids->count() > 0)
        m_ids->setCurrentIndex(0);
}

void CDebugDlg::OnShow()
{
    if (m_ids->currentIndex() < 0)
        return;
    const auto id = static_cast<CommandId>(m_ids->currentData().toInt());
    const std::string text = CurrentDriverQueue().commandLine(id, kCommandTextSize);
    if (text.empty())
        return;
    appendLog(tr("Sent data") + QStringLiteral(":---->\r\n") + QString::fromStdString(text)
              + QStringLiteral("<----------------\r\n"));
}

void CDebugDlg::OnRemove()
{
    if (m_ids->currentIndex() < 0)
        return;
    CurrentDriverQueue().removeCommand(static_cast<CommandId>(m_ids->currentData().toInt()));
}

void CDebugDlg::OnAutoToggled(bool checked)
{
    if (checked)
        plat::SetTimer(GetSafeHwnd(), kTimerId, kTimerMs);
}

} // namespace talverin
