#include "PinEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

PinEdit::PinEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

int PinEdit::roomLeft() const
{
    return std::max(0, kTypedLimit - static_cast<int>(text().size()) + static_cast<int>(selectedText().size()));
}

void PinEdit::insertTyped(const QString& typed)
{
    const QString upper = typed.toUpper();
    insert(upper.left(roomLeft()));
}

void PinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            insertTyped(QGuiApplication::clipboard()->text().remove(QLatin1Char('\n')).remove(QLatin1Char('\r')));
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint()
                           && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable && !isReadOnly()) {
        insertTyped(typed);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PinEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && event->preeditString().isEmpty() && event->replacementLength() == 0) {
        insertTyped(event->commitString());
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}
