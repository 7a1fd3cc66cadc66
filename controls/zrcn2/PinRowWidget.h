// The pin row's window: the badge it draws itself, the logic button (999) and the function (1000)
// and value (1001) boxes. It lays them out from its height, renders the control's model, walks
// Tab among its children, and reports clicks, typing, focus and help requests to the control.
//
// WM_USER+1 on its handle repaints it and answers 1; timer 1000 (one shot, 50 ms) repaints it and
// its children.
#pragma once

#include "RowPainting.h"

#include <zrcn2/PinRowLayout.h>
#include <zrcn2/PinRowModel.h>
#include <zrcn2/TabWalk.h>

#include <platform/qt/window_bridge.h>
#include <platform/timers.h>

#include <QPointer>
#include <QWidget>

#include <memory>

class CZRCN2Ctrl;
class PinEdit;
class SettenButton;

class PinRowWidget : public QWidget {
public:
    static constexpr int kButtonId = 999;
    static constexpr int kNameBoxId = 1000;
    static constexpr int kDataBoxId = 1001;
    static constexpr plat::UINT kRepaintMessage = plat::WM_USER + 1;
    static constexpr plat::UINT_PTR kRepaintTimer = 1000;
    static constexpr plat::UINT kRepaintDelayMs = 50;

    PinRowWidget(CZRCN2Ctrl& ctrl, QWidget* parent);
    ~PinRowWidget() override;

    // The row that w is or lies in; null for none.
    static PinRowWidget* rowOf(QWidget* w);

    plat::HWND hwnd() const { return m_bridge ? m_bridge->hwnd() : nullptr; }
    const zrcn2::PinRowLayout& layoutValues() const { return m_layout; }
    QWidget* part(zrcn2::RowPart part) const;
    // The part a widget is (None for anything else).
    zrcn2::RowPart partOf(const QObject* object) const;

    // After a load or reset: everything from the control's properties.
    void refreshAll();
    // ViewMode: children made or hidden, tab stop, enabled state.
    void applyViewMode();
    // The boxes and the button show the model's texts (no typing events).
    void refreshTexts();
    void showBoxText(zrcn2::PinRowModel::Box box);
    void applyBoxColors(zrcn2::PinRowModel::Box box);
    void updateButton();
    void applyDisabledParts();
    void setBoxesModified(bool modified);
    void startRepaintTimer();

    // Activation follows the focus (RowActivation).
    bool isActiveRow() const { return m_active; }
    void setActiveRow(bool active);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    plat::LRESULT onMessage(plat::UINT message, plat::WPARAM wParam);
    void makeChildren();
    void relayout();
    void repaintAll();
    void updateTabStop();
    zrcn2::EnabledParts enabledParts() const;
    // Moves the focus to the next (previous) control of the window outside this row.
    void moveFocusOutside(bool backward);
    bool childKey(zrcn2::RowPart part, QKeyEvent* key);
    void requestContextMenu(zrcn2::RowPart part);
    void showHelp();

    CZRCN2Ctrl& m_ctrl;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    QPointer<SettenButton> m_button;
    QPointer<PinEdit> m_nameBox;
    QPointer<PinEdit> m_dataBox;
    std::unique_ptr<plat::qt::WindowBridge> m_buttonBridge, m_nameBridge, m_dataBridge;
    zrcn2::PinRowLayout m_layout;
    RowFonts m_fonts;
    bool m_pressed = false;
    bool m_active = false;
    bool m_settingTexts = false;
    bool m_closing = false;
};
