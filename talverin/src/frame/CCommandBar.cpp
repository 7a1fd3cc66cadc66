#include "frame/CCommandBar.h"

#include "common/AppMessages.h"

#include <platform/qt/dialog_units.h>
#include <platform/qt/window_bridge.h>

#include <QAction>

#include <algorithm>

namespace talverin {

namespace {

constexpr plat::COLORREF kRunningFill = 0xFFFF00; // cyan
constexpr int kCaptionMargin = 8;                  // pixels beside a caption, both sides together

} // namespace

CCommandBar::CCommandBar(const std::array<ExtBarEntry, kButtonCount>& entries, QWidget* parent)
    : QToolBar(tr("Command tool"), parent), m_entries(entries)
{
    setObjectName(QString::number(IDD));
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
            return m == WM_COMMAND_TOOL_REPLY ? OnToolReply(w, l) : plat::LRESULT{0};
        });
    const QSize size = plat::qt::MapDialogRect(QRect(0, 0, 40, 14), font()).size();
    for (int i = 0; i < kButtonCount; ++i) {
        QString caption = QString::fromStdString(m_entries[i].caption);
        // The caption is the user's text: an '&' in it is a character, not a mnemonic.
        m_actions[i] = new QAction(caption.replace(QLatin1Char('&'), QLatin1String("&&")), this);
        // At least the template's size, wider when the user's caption needs it.
        const int captionWidth = fontMetrics().horizontalAdvance(caption) + kCaptionMargin;
        m_buttons[i] = new OwnerDrawButton(IDC_FIRST + i, QSize(std::max(size.width(), captionWidth), size.height()),
                                           [this](OwnerDrawButton& b, const plat::qt::DrawItemInfo& item) {
                                               drawButton(b, item);
                                           },
                                           this);
        m_buttons[i]->setDefaultAction(m_actions[i]);
        m_actions[i]->setEnabled(m_entries[i].hasCommand);
        addWidget(m_buttons[i]);
    }
}

CCommandBar::~CCommandBar() = default;

plat::HWND CCommandBar::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

void CCommandBar::SetState(int index, int state)
{
    if (index < 0 || index >= kButtonCount)
        return;
    m_states[index] = state;
    m_buttons[index]->repaint();
}

void CCommandBar::ClearStates()
{
    for (int i = 0; i < kButtonCount; ++i)
        SetState(i, 0);
}

plat::LRESULT CCommandBar::OnToolReply(plat::WPARAM tag, plat::LPARAM state)
{
    if (tag < kFirstTag || tag >= kFirstTag + kButtonCount)
        return 0;
    SetState(static_cast<int>(tag - kFirstTag), static_cast<int>(state));
    return 0;
}

void CCommandBar::drawButton(OwnerDrawButton& button, const plat::qt::DrawItemInfo& item)
{
    const int index = button.id() - IDC_FIRST;
    const QString caption = QString::fromStdString(m_entries[index].caption);
    if (IsRunningState(m_states[index]) && !(item.state & plat::qt::ODS_DISABLED))
        DrawPressedCell(caption, item, plat::ColorFromColorRef(kRunningFill));
    else
        DrawRaisedCell(caption, item);
}

} // namespace talverin
