// A pin row's edit box: centred, frameless, at most 64 characters typed or pasted, and typed or
// pasted letters upper-cased. Text set through setText is kept as it is given (long or lower
// case), as the host's texts are.
#pragma once

#include <QLineEdit>

class PinEdit : public QLineEdit {
public:
    static constexpr int kTypedLimit = 64;

    explicit PinEdit(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Inserts user text upper-cased, as much of it as the limit leaves room for.
    void insertTyped(const QString& text);
    int roomLeft() const;
};
