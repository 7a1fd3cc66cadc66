// The row's logic button (id 999), drawn by the row: its back colour with a sunken frame, the
// logic text centred in "Century Gothic" of the badge's height, grey while disabled, and a focus
// rectangle two pixels inside while it has the focus.
#pragma once

#include <QAbstractButton>

class CZRCN2Ctrl;

class SettenButton : public QAbstractButton {
public:
    SettenButton(CZRCN2Ctrl& ctrl, QWidget* parent);

    void setBadgeSize(int size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CZRCN2Ctrl& m_ctrl;
    int m_badgeSize = 0;
};
