#include "ParamEditor.h"

#include "CPresetStepDlg.h"
#include "CZRPARAMApp.h"
#include "ParamCommands.h"
#include "ParamList.h"
#include "ParamTexts.h"
#include "ParamWindow.h"

#include <platform/messages.h>
#include <platform/qt/fonts.h>
#include <platform/qt/window_timers.h>
#include <zrparam/AccessRules.h>
#include <zrparam/StepRules.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

using namespace plat::qt;

namespace {

// A text the preset popup can step: digits, signs and points only (an empty text too).
bool steppable(const QString& text)
{
    for (QChar c : text) {
        if (!c.isDigit() && c != QLatin1Char('+') && c != QLatin1Char('-') && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

int presetButtonFor(plat::UINT vk)
{
    switch (vk) {
    case VK_PRIOR: return zrparam::kPlusMedium;
    case VK_NEXT: return zrparam::kMinusMedium;
    case VK_HOME: return zrparam::kReset;
    case VK_UP: return zrparam::kPlusFine;
    case VK_DOWN: return zrparam::kMinusFine;
    default: return -1;
    }
}

} // namespace

ParamEditor::ParamEditor(ParamWindow& window)
    : m_window(window), m_edit(new QLineEdit(window.list().viewport())), m_popup(new CPresetStepDlg(window.list().viewport()))
{
    m_edit->setObjectName(QStringLiteral("1002"));
    m_edit->setAlignment(Qt::AlignCenter);
    m_edit->hide();
    // The focus leaving the control closes the editor without a commit; moving inside it does not.
    m_focusWatch = QObject::connect(qApp, &QApplication::focusChanged, m_edit, [this](QWidget*, QWidget* now) { focusLeft(now); });
}

ParamEditor::~ParamEditor()
{
    QObject::disconnect(m_focusWatch);
    m_hook.reset();
}

bool ParamEditor::isOpen() const
{
    return m_edit->isVisible();
}

std::string ParamEditor::typedText() const
{
    return m_edit->text().toStdString();
}

void ParamEditor::setText(const QString& text)
{
    m_edit->setText(text);
}

void ParamEditor::show(int row)
{
    m_hook.reset();
    m_popup->hide();
    m_row = row;
    ParamList& list = m_window.list();
    if (row < 0) {
        KillTimer(&m_window, kTimerShowPopup);
        KillTimer(&m_window, kTimerOpenEditor);
        const bool hadFocus = m_edit->hasFocus();
        m_edit->hide();
        if (hadFocus)
            list.setFocus(Qt::OtherFocusReason);
        return;
    }
    m_follow = false;
    const ListRow* listRow = list.rows().row(row);
    bool popupWanted = false;
    {
        DataAccess data;
        const zrparam::CZRParamClass* node = listRow ? data.node(listRow->node) : nullptr;
        if (!node || !node->m_record) {
            m_row = -1;
            m_edit->hide();
            return;
        }
        popupWanted = node->m_record->m_stepMode != 0;
    }
    m_hook = KeyboardHookChain::instance().install(m_edit, [this](const KeyInput& key) { return onKey(key); });

    const QRect rowRect = list.rowRect(row);
    const int column = list.rows().columns().size() > 4 ? 2 : 1;
    const QHeaderView* header = list.header();
    const QRect cell(header->sectionViewportPosition(column), rowRect.top(), header->sectionSize(column),
                     std::max(1, rowRect.height() - 1));
    const QString text = list.rows().cell(row, column).left(1024);
    if (!steppable(text))
        popupWanted = false;

    m_edit->setFont(MakeFont(QString(), cell.height(), 400, false, true));
    // The length limit only stops typing: a longer text already there is never cut.
    m_edit->setMaxLength(std::max<int>(static_cast<int>(text.size()), std::clamp<int>(static_cast<int>(text.size()), 15, 20)));
    m_edit->setText(text);
    m_edit->setGeometry(cell);
    m_edit->show();
    m_edit->raise();
    m_edit->setFocus(Qt::OtherFocusReason);
    m_edit->selectAll();
    if (popupWanted)
        placePopup(cell);
}

void ParamEditor::placePopup(const QRect& cell)
{
    ParamList& list = m_window.list();
    const int h = cell.height();
    const int popupHeight = m_popup->height();
    int top = cell.top() + h / 2 - popupHeight / 2;
    top = std::max(top, h);
    const int listHeight = list.viewport()->height();
    if (top + popupHeight > listHeight - h)
        top = listHeight - popupHeight - h;
    {
        DataAccess data;
        const ListRow* row = list.rows().row(m_row);
        m_popup->SetParam(row ? data.node(row->node) : nullptr, m_window.module().language());
    }
    m_popup->setTarget(m_window.hwnd());
    m_popup->move(cell.left() - m_popup->width(), top);
    SetTimer(&m_window, kTimerShowPopup, 200);
}

void ParamEditor::onTimer(plat::UINT_PTR id)
{
    if (id == kTimerShowPopup) {
        if (m_row < 0)
            return;
        m_popup->show();
        m_popup->raise();
        m_edit->show();
        m_edit->setFocus(Qt::OtherFocusReason);
    } else if (id == kTimerOpenEditor) {
        show(m_window.list().selectedRow());
    }
}

void ParamEditor::editCommand()
{
    ParamList& list = m_window.list();
    const ListRow* row = list.rows().row(list.selectedRow());
    if (!row)
        return;
    bool editable = false;
    {
        DataAccess data;
        const zrparam::CZRParamClass* node = data.node(row->node);
        editable = node && zrparam::AccessRules::IsEditableType(m_window.access(), *node);
    }
    if (editable)
        SetTimer(&m_window, kTimerOpenEditor, 1);
}

void ParamEditor::returnPressed()
{
    KillTimer(&m_window, kTimerShowPopup);
    KillTimer(&m_window, kTimerOpenEditor);
    PostKeyEvent(&m_window.list(), VK_DOWN, true);
}

bool ParamEditor::onKey(const KeyInput& key)
{
    if (!m_edit->isVisible() || !m_edit->hasFocus() || key.target != m_edit)
        return false;
    ParamList& list = m_window.list();
    switch (key.vk) {
    case VK_TAB:
    case VK_RETURN:
        if (key.released())
            return false;
        if (!commitOrKeep())
            return true;
        hide();
        return true;
    case VK_ESCAPE:
        hide();
        return false;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN:
        if (key.modifiers & Qt::ControlModifier) {
            if (key.down && m_popup->isVisible()) {
                const ListRow* row = list.rows().row(m_row);
                plat::SendMessage(m_window.hwnd(), WM_PRESET_STEP, static_cast<plat::WPARAM>(presetButtonFor(key.vk)),
                                  reinterpret_cast<plat::LPARAM>(row ? row->data : nullptr));
            }
            return true;
        }
        if (key.down) {
            if (!commitOrKeep())
                return true;
            PostKeyEvent(&list, key.vk, true);
        } else {
            SendKeyEvent(&list, key.vk, false);
        }
        return true;
    default:
        return false;
    }
}

bool ParamEditor::commitOrKeep()
{
    const QString typed = m_edit->text();
    const int row = m_row;
    if (m_window.commands().commit(m_window.list().selectedRow(), true, true) != ParamCommands::kRefused)
        return true;
    // Refused: the typed text stays in the editor (the box may have closed it) to be corrected.
    if (!isOpen())
        show(row);
    m_edit->setText(typed);
    m_edit->selectAll();
    m_edit->setFocus(Qt::OtherFocusReason);
    return false;
}

void ParamEditor::focusLeft(QWidget* now)
{
    if (now && isOpen() && !m_window.isAncestorOf(now) && now != &m_window)
        hide();
}

void ParamEditor::listScrolled()
{
    ParamList& list = m_window.list();
    const QPoint row0(-list.horizontalScrollBar()->value(), -list.verticalScrollBar()->value());
    if (row0 == m_lastRow0 || (!isOpen() && !m_follow))
        return;
    m_lastRow0 = row0;
    const int selected = list.selectedRow();
    hide();
    m_follow = true;
    const QRect r = list.rowRect(selected);
    if (r.isValid() && r.top() >= 0 && r.top() <= list.viewport()->height() - r.height())
        SetTimer(&m_window, kTimerOpenEditor, 1);
}

void ParamEditor::columnResized()
{
    if (isOpen() || m_follow)
        SetTimer(&m_window, kTimerOpenEditor, 1);
}

void ParamEditor::dropNodes()
{
    hide();
    m_follow = false;
    m_popup->dropNode();
}
