// The terminal box's window: a plain text edit that only shows a TerminalText, decoded line by
// line as the program reads driver text (TerminalDecoding.h). Output replaces
// just the changed tail of the text with updates off, so a burst costs one repaint, and the last
// line stays in view. Typed keys become characters as WM_CHAR gives them and go to the control;
// the edit box's own editing and shortcuts act only with local echo, and what they change is
// written back into the text. No undo, no context menu, no drags out of it; a right press only
// takes the focus.
#pragma once

#include <zrtermed/TerminalText.h>

#include <QPlainTextEdit>

#include <functional>

class TerminalEdit : public QPlainTextEdit {
public:
    struct Host {
        std::function<bool()> localEcho;
        std::function<void(int ch)> typed; // one typed character, before upper-casing
    };

    TerminalEdit(zrtermed::TerminalText& text, Host host, QWidget* parent);

    // Shows what addString() changed (nothing: only the caret), then the caret and the last line.
    void showChange(const zrtermed::TerminalText::Change& change);
    // Shows the whole text again.
    void rebuild();
    // The caret at the text's caret, no selection, and the last line in view.
    void placeCaret();

    // The characters a key press types, as WM_CHAR would give them (none for most keys that
    // type nothing): Enter 13 (Ctrl+Enter 10), Backspace 8, Tab 9, Escape 27, Ctrl+A..Z 1..26,
    // and the key's Latin-1 text.
    static std::string typedChars(const QKeyEvent& key);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void replaceTail(int from);
    void takeUserEdit();
    void deliver(const std::string& chars);
    bool roomFor(int characters) const;

    zrtermed::TerminalText& m_text;
    Host m_host;
    bool m_rendering = false;
};
