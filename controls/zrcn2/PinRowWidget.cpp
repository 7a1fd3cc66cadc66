#include "PinRowWidget.h"

#include "CZRCN2Ctrl.h"
#include "PinEdit.h"
#include "RowActivation.h"
#include "SettenButton.h"

#include <controls/HelpInfo.h>
#include <controls/ZRCN2Members.h>
#include <zrcn2/PinRowColors.h>

#include <platform/qt/colors.h>
#include <platform/qt/window_timers.h>

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

using zrcn2::RowPart;
using Box = zrcn2::PinRowModel::Box;

namespace {

constexpr plat::UINT WM_CONTEXTMENU = 0x007B;

QString toQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PinRowWidget* PinRowWidget::rowOf(QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        if (auto* row = dynamic_cast<PinRowWidget*>(w))
            return row;
    }
    return nullptr;
}

PinRowWidget::PinRowWidget(CZRCN2Ctrl& ctrl, QWidget* parent) : QWidget(parent), m_ctrl(ctrl)
{
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM) { return onMessage(m, w); });
    setAttribute(Qt::WA_OpaquePaintEvent);
    RowActivation::add(this);
    refreshAll();
}

PinRowWidget::~PinRowWidget()
{
    m_closing = true;
    RowActivation::remove(this);
    plat::qt::KillTimer(this, kRepaintTimer);
    // The children's handles go before the children.
    m_buttonBridge.reset();
    m_nameBridge.reset();
    m_dataBridge.reset();
}

plat::LRESULT PinRowWidget::onMessage(plat::UINT message, plat::WPARAM wParam)
{
    if (message == kRepaintMessage) {
        update();
        return 1;
    }
    if (message == plat::WM_TIMER && wParam == kRepaintTimer) {
        plat::qt::KillTimer(this, kRepaintTimer);
        repaintAll();
        return 0;
    }
    if (message == WM_CONTEXTMENU) {
        const auto child = reinterpret_cast<plat::HWND>(wParam);
        const int id = child == (m_nameBridge ? m_nameBridge->hwnd() : nullptr)   ? kNameBoxId
                       : child == (m_dataBridge ? m_dataBridge->hwnd() : nullptr) ? kDataBoxId
                       : child == (m_buttonBridge ? m_buttonBridge->hwnd() : nullptr) ? kButtonId
                                                                                     : 0;
        if (id)
            m_ctrl.contextMenuRequested(id, child);
        return 0;
    }
    return 0;
}

QWidget* PinRowWidget::part(RowPart p) const
{
    switch (p) {
    case RowPart::Button: return m_button;
    case RowPart::Name: return m_nameBox;
    case RowPart::Data: return m_dataBox;
    default: return nullptr;
    }
}

RowPart PinRowWidget::partOf(const QObject* object) const
{
    if (!object)
        return RowPart::None;
    if (object == m_button)
        return RowPart::Button;
    if (object == m_nameBox)
        return RowPart::Name;
    if (object == m_dataBox)
        return RowPart::Data;
    return RowPart::None;
}

void PinRowWidget::makeChildren()
{
    if (!m_button) {
        m_button = new SettenButton(m_ctrl, this);
        m_button->setObjectName(QString::number(kButtonId));
        m_button->installEventFilter(this);
        m_buttonBridge = std::make_unique<plat::qt::WindowBridge>(m_button);
        connect(m_button, &QAbstractButton::clicked, this, [this] { m_ctrl.buttonClicked(); });
    }
    for (Box box : {Box::Name, Box::Data}) {
        QPointer<PinEdit>& edit = box == Box::Name ? m_nameBox : m_dataBox;
        if (edit)
            continue;
        edit = new PinEdit(this);
        edit->setObjectName(QString::number(box == Box::Name ? kNameBoxId : kDataBoxId));
        edit->installEventFilter(this);
        (box == Box::Name ? m_nameBridge : m_dataBridge) = std::make_unique<plat::qt::WindowBridge>(edit);
        connect(edit, &QLineEdit::textChanged, this, [this, box](const QString& text) {
            m_ctrl.model().setBoxText(box, text.toStdString());
        });
        connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
            m_ctrl.model().setBoxText(box, text.toStdString());
            if (!m_settingTexts)
                m_ctrl.boxTyped(box);
        });
        showBoxText(box);
        applyBoxColors(box);
    }
    applyDisabledParts();
    relayout();
}

void PinRowWidget::refreshAll()
{
    applyViewMode();
    refreshTexts();
    updateButton();
    update();
}

void PinRowWidget::applyViewMode()
{
    if (m_ctrl.model().fullRow()) {
        makeChildren();
        m_button->show();
        m_nameBox->show();
        m_dataBox->show();
        // The row left disabled by a badge-only mode takes input again.
        setEnabled(true);
    } else {
        for (QWidget* w : {static_cast<QWidget*>(m_button), static_cast<QWidget*>(m_nameBox),
                           static_cast<QWidget*>(m_dataBox)})
            if (w)
                w->hide();
        setEnabled(false);
    }
    updateTabStop();
    update();
}

void PinRowWidget::updateTabStop()
{
    const bool allDisabled = (m_ctrl.disabledParts() & 0xE) == 0xE;
    setFocusPolicy(m_ctrl.model().fullRow() && !allDisabled ? Qt::StrongFocus : Qt::ClickFocus);
}

void PinRowWidget::refreshTexts()
{
    showBoxText(Box::Name);
    showBoxText(Box::Data);
    applyBoxColors(Box::Name);
    applyBoxColors(Box::Data);
    updateButton();
    update();
}

void PinRowWidget::showBoxText(Box box)
{
    PinEdit* edit = box == Box::Name ? m_nameBox : m_dataBox;
    if (!edit)
        return;
    const auto& model = m_ctrl.model();
    const QString text = toQString(box == Box::Name ? model.nameBox() : model.dataBox());
    if (edit->text() == text)
        return;
    m_settingTexts = true;
    edit->setText(text);
    m_settingTexts = false;
}

void PinRowWidget::applyBoxColors(Box box)
{
    using namespace ctl::zrcn2;
    PinEdit* edit = box == Box::Name ? m_nameBox : m_dataBox;
    if (!edit) {
        update();
        return;
    }
    const bool name = box == Box::Name;
    const plat::COLORREF back = plat::ResolveColorRef(m_ctrl.color(name ? NameBackColor : DataBackColor));
    const plat::COLORREF normal = plat::ResolveColorRef(m_ctrl.color(name ? NameTextColor : DataTextColor));
    const plat::COLORREF text = zrcn2::BoxTextColor(name, m_ctrl.model().status(), normal);
    QPalette pal = edit->palette();
    for (auto role : {QPalette::Base, QPalette::Window})
        pal.setColor(role, plat::ColorFromColorRef(back));
    pal.setColor(QPalette::Text, plat::ColorFromColorRef(text));
    if (pal != edit->palette()) {
        edit->setAutoFillBackground(true);
        edit->setPalette(pal);
    }
    edit->update();
}

void PinRowWidget::updateButton()
{
    if (m_button)
        m_button->update();
    update();
}

void PinRowWidget::applyDisabledParts()
{
    const plat::DWORD mode = m_ctrl.disabledParts();
    if (m_button)
        m_button->setEnabled(!(mode & 0x2));
    if (m_nameBox)
        m_nameBox->setEnabled(!(mode & 0x4));
    if (m_dataBox)
        m_dataBox->setEnabled(!(mode & 0x8));
    updateTabStop();
    update();
}

void PinRowWidget::setBoxesModified(bool modified)
{
    for (PinEdit* edit : {m_nameBox.data(), m_dataBox.data()})
        if (edit)
            edit->setModified(modified);
}

void PinRowWidget::startRepaintTimer()
{
    plat::qt::SetTimer(this, kRepaintTimer, kRepaintDelayMs);
}

void PinRowWidget::repaintAll()
{
    applyBoxColors(Box::Name);
    applyBoxColors(Box::Data);
    if (m_button)
        m_button->update();
    update();
}

zrcn2::EnabledParts PinRowWidget::enabledParts() const
{
    auto usable = [](const QWidget* w) { return w && w->isEnabled() && !w->isHidden(); };
    return {usable(m_button), usable(m_nameBox), usable(m_dataBox)};
}

void PinRowWidget::relayout()
{
    if (width() <= 0 || height() <= 0)
        return;
    const zrcn2::PinRowLayout sizes = zrcn2::PinRowLayout::fonts(height());
    m_fonts = MakeRowFonts(sizes);
    const QFontMetrics fm(m_fonts.edit);
    m_layout = zrcn2::PinRowLayout::compute(height(), fm.horizontalAdvance(QStringLiteral("DDDDD")),
                                            fm.horizontalAdvance(QStringLiteral("99999.99")));
    if (m_ctrl.model().fullRow() && m_button) {
        m_button->setBadgeSize(m_layout.badgeSize);
        m_button->setGeometry(m_layout.button);
        // The boxes sit inside their rectangles, whose edges carry the sunken frames.
        m_nameBox->setFont(m_fonts.edit);
        m_dataBox->setFont(m_fonts.edit);
        m_nameBox->setGeometry(m_layout.nameBox.adjusted(1, 1, -1, -1));
        m_dataBox->setGeometry(m_layout.dataBox.adjusted(1, 1, -1, -1));
    }
    update();
}

void PinRowWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void PinRowWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintRow(p, size(), m_ctrl, m_layout, m_fonts, m_pressed);
}

void PinRowWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && event->position().x() < m_layout.badgeSize) {
        m_pressed = true;
        update();
    }
    QWidget::mousePressEvent(event);
}

void PinRowWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        update();
    }
    QWidget::mouseReleaseEvent(event);
}

void PinRowWidget::setActiveRow(bool active)
{
    if (active == m_active || m_closing)
        return;
    m_active = active;
    if (active)
        m_ctrl.activated();
    else
        m_ctrl.deactivated();
}

void PinRowWidget::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    const bool backward = event->reason() == Qt::BacktabFocusReason;
    if (m_ctrl.model().fullRow()) {
        if (QWidget* target = part(zrcn2::FocusTarget(enabledParts()))) {
            target->setFocus(event->reason());
            return;
        }
    }
    moveFocusOutside(backward);
}

void PinRowWidget::moveFocusOutside(bool backward)
{
    QWidget* w = this;
    for (int guard = 0; guard < 100000; ++guard) {
        w = backward ? w->previousInFocusChain() : w->nextInFocusChain();
        if (!w || w == this)
            return;
        if (isAncestorOf(w))
            continue;
        // Another row takes the focus as a whole, as the container hands it over.
        QWidget* target = rowOf(w);
        if (!target)
            target = w;
        if (target->window() == window() && target->isEnabled() && target->isVisible()
            && (target->focusPolicy() & Qt::TabFocus)) {
            target->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return;
        }
    }
}

void PinRowWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        showHelp();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PinRowWidget::showHelp()
{
    ctl::HelpInfo info;
    const RowPart focused = partOf(QApplication::focusWidget());
    const plat::qt::WindowBridge* bridge = focused == RowPart::Button ? m_buttonBridge.get()
                                           : focused == RowPart::Name ? m_nameBridge.get()
                                           : focused == RowPart::Data ? m_dataBridge.get()
                                                                      : m_bridge.get();
    info.iCtrlId = focused == RowPart::Button ? kButtonId
                   : focused == RowPart::Name ? kNameBoxId
                   : focused == RowPart::Data ? kDataBoxId
                                              : 0;
    info.hItemHandle = reinterpret_cast<std::intptr_t>(bridge ? bridge->hwnd() : nullptr);
    const QPoint cursor = QCursor::pos();
    info.mouseX = cursor.x();
    info.mouseY = cursor.y();
    m_ctrl.helpRequested(info);
}

void PinRowWidget::requestContextMenu(RowPart p)
{
    const plat::qt::WindowBridge* bridge = p == RowPart::Name ? m_nameBridge.get()
                                           : p == RowPart::Data ? m_dataBridge.get()
                                                                : m_buttonBridge.get();
    if (bridge && hwnd())
        plat::PostMessage(hwnd(), WM_CONTEXTMENU, reinterpret_cast<plat::WPARAM>(bridge->hwnd()), 0);
}

bool PinRowWidget::childKey(RowPart p, QKeyEvent* key)
{
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
        const bool backward = key->key() == Qt::Key_Backtab || shift;
        if (QWidget* next = part(zrcn2::NextTabStop(p, backward, enabledParts())))
            next->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        else
            moveFocusOutside(backward);
        return true;
    }
    if (key->key() == Qt::Key_F1) {
        showHelp();
        return true;
    }
    const bool box = p == RowPart::Name || p == RowPart::Data;
    if (box && (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && shift))) {
        requestContextMenu(p);
        return true;
    }
    return false;
}

bool PinRowWidget::eventFilter(QObject* watched, QEvent* event)
{
    const RowPart p = partOf(watched);
    if (p == RowPart::None || m_closing)
        return QWidget::eventFilter(watched, event);
    const bool box = p != RowPart::Button;
    switch (event->type()) {
    case QEvent::KeyPress:
        return childKey(p, static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (box && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            if (event->type() == QEvent::MouseButtonPress) {
                // The click activates the row and asks for the box's menu; the box never sees it.
                const QWidget* focus = QApplication::focusWidget();
                if (!focus || !isAncestorOf(focus))
                    setFocus(Qt::MouseFocusReason);
                requestContextMenu(p);
            }
            return true;
        }
        break;
    case QEvent::ContextMenu:
        if (!box) {
            requestContextMenu(p);
            return true;
        }
        break;
    case QEvent::FocusOut:
        if (box && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            m_ctrl.boxLeft(p == RowPart::Name ? Box::Name : Box::Data);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
