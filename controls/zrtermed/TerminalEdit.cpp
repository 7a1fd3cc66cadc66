#include "TerminalEdit.h"

#include <platform/qt/fonts.h>
#include <zrtermed/TerminalDecoding.h>

#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

using zrtermed::TerminalText;

// Where text position `index` stands in the view: its line's block, then its column there.
int viewPosition(const QTextDocument& document, const std::string& text, int index)
{
    const int start = zrtermed::TerminalLineStart(text, index);
    const QTextBlock block = document.findBlockByNumber(zrtermed::TerminalLineNumber(text, start));
    if (!block.isValid())
        return document.characterCount() - 1;
    return block.position() + zrtermed::TerminalViewColumn(text, index);
}

// The text position a view position of the text's own view stands for.
int textPosition(const std::string& text, int view)
{
    int start = 0;
    for (;;) {
        const int end = zrtermed::TerminalLineEnd(text, start);
        const int units = zrtermed::TerminalViewColumn(text, end);
        if (view <= units || end == static_cast<int>(text.size()))
            return zrtermed::TerminalTextPosition(text, start, view);
        view -= units + 1; // the line and its separator
        start = end + (text[static_cast<std::size_t>(end)] == '\r' && end + 1 < static_cast<int>(text.size())
                               && text[static_cast<std::size_t>(end) + 1] == '\n'
                           ? 2
                           : 1);
    }
}

// What the user put into the box, as the text's bytes: line breaks as CR LF, characters past
// Latin-1 as '?' (the driver's line carries bytes).
std::string textBytes(QStringView view)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(view.size()));
    for (qsizetype i = 0; i < view.size(); ++i) {
        const QChar ch = view[i];
        if (ch == u'\r' && i + 1 < view.size() && view[i + 1] == u'\n')
            continue; // the LF makes the line end
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator || ch == u'\n' || ch == u'\r')
            bytes += "\r\n";
        else
            bytes += ch.unicode() <= 0xFF ? static_cast<char>(ch.unicode()) : '?';
    }
    return bytes;
}

bool isNavigation(int key)
{
    switch (key) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

TerminalEdit::TerminalEdit(TerminalText& text, Host host, QWidget* parent)
    : QPlainTextEdit(parent), m_text(text), m_host(std::move(host))
{
    setObjectName(QStringLiteral("ZRTERMED"));
    setUndoRedoEnabled(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(plat::qt::MakeFont(QStringLiteral("MS Gothic"), 16, 400, false, true));
    // Drops belong to the window that hosts the box (files and parameter rows).
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_rendering)
            takeUserEdit();
    });
    rebuild();
}

void TerminalEdit::showChange(const TerminalText::Change& change)
{
    if (change.whole)
        rebuild();
    else if (change.from >= 0)
        replaceTail(change.from);
    else
        placeCaret();
}

void TerminalEdit::replaceTail(int from)
{
    // A CR before the change may have been shown together with an LF that is gone, or may now
    // pair with a new one: it is shown again with the tail. The whole line goes again, as its
    // characters are decoded together (a character cut between two outputs is whole now).
    if (from > 0 && m_text.text()[static_cast<std::size_t>(from) - 1] == '\r')
        --from;
    from = zrtermed::TerminalLineStart(m_text.text(), from);
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    m_rendering = true;
    QTextCursor cursor(document());
    cursor.setPosition(viewPosition(*document(), m_text.text(), from));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertText(zrtermed::TerminalViewText(m_text.text(), from));
    m_rendering = false;
    placeCaret();
    setUpdatesEnabled(updates);
}

void TerminalEdit::rebuild()
{
    replaceTail(0);
}

void TerminalEdit::placeCaret()
{
    const bool was = m_rendering;
    m_rendering = true;
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::min(viewPosition(*document(), m_text.text(), m_text.caret()), document()->characterCount() - 1));
    setTextCursor(cursor);
    m_rendering = was;
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

void TerminalEdit::takeUserEdit()
{
    // Compare the document with the text: what differs between the common front and back is
    // what the user changed.
    const QString shown = zrtermed::TerminalViewText(m_text.text());
    const QString now = document()->toRawText();
    const qsizetype limit = std::min(shown.size(), now.size());
    qsizetype front = 0;
    while (front < limit && shown[front] == now[front])
        ++front;
    qsizetype back = 0;
    while (back < limit - front && shown[shown.size() - 1 - back] == now[now.size() - 1 - back])
        ++back;
    const int from = textPosition(m_text.text(), static_cast<int>(front));
    const int to = textPosition(m_text.text(), static_cast<int>(shown.size() - back));
    m_text.replace(from, to, textBytes(QStringView(now).mid(front, now.size() - back - front)));
    // What was typed may read otherwise as driver text (a byte of a Shift_JIS pair): shown as
    // the text now reads, once the edit is over.
    if (zrtermed::TerminalViewText(m_text.text()) != document()->toRawText()) {
        QPointer<TerminalEdit> self(this);
        QMetaObject::invokeMethod(this, [self] { if (self) self->rebuild(); }, Qt::QueuedConnection);
    }
}

std::string TerminalEdit::typedChars(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return std::string(1, ctrl ? '\n' : '\r');
    case Qt::Key_Backspace: return std::string(1, ctrl ? '\x7f' : '\b');
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return ctrl || alt ? std::string() : std::string(1, '\t');
    case Qt::Key_Escape: return std::string(1, '\x1b');
    default: break;
    }
    if (alt && !ctrl)
        return {};
    if (ctrl) {
        if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
            return std::string(1, static_cast<char>(key.key() - Qt::Key_A + 1));
        return {};
    }
    std::string chars;
    for (const QChar ch : key.text())
        if (ch.unicode() >= 0x20 && ch.unicode() <= 0xFF)
            chars += static_cast<char>(ch.unicode());
    return chars;
}

bool TerminalEdit::roomFor(int characters) const
{
    return textCursor().hasSelection() || m_text.length() + characters <= TerminalText::kTypingLimit;
}

void TerminalEdit::deliver(const std::string& chars)
{
    // A handler may close the window that holds the box.
    QPointer<TerminalEdit> self(this);
    for (const char c : chars) {
        if (!self)
            return;
        m_host.typed(static_cast<unsigned char>(c));
    }
}

bool TerminalEdit::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride && !m_host.localEcho()) {
        // Plain typing wins over one-key shortcuts; combinations go to the program's shortcuts
        // first and reach the box only when none takes them.
        auto* key = static_cast<QKeyEvent*>(e);
        const bool combination = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!combination && !typedChars(*key).empty())
            e->accept();
        else
            e->ignore();
        return true;
    }
    return QPlainTextEdit::event(e);
}

void TerminalEdit::keyPressEvent(QKeyEvent* e)
{
    const std::string chars = typedChars(*e);
    if (chars.empty()) {
        if (m_host.localEcho() || isNavigation(e->key()))
            QPlainTextEdit::keyPressEvent(e);
        else
            e->ignore();
        return;
    }
    if (m_host.localEcho()) {
        const int needs = chars == "\r" ? 2 : static_cast<int>(chars.size());
        const bool inserts = chars != "\b" && chars != "\x1b" && chars != "\x7f"
                             && !(e->modifiers() & Qt::ControlModifier);
        if (!inserts || roomFor(needs)) {
            QString upper = e->text();
            for (QChar& ch : upper)
                ch = QChar(TerminalText::upperCased(ch.unicode()));
            QKeyEvent echo(e->type(), e->key(), e->modifiers(), upper, e->isAutoRepeat(),
                           static_cast<quint16>(e->count()));
            QPlainTextEdit::keyPressEvent(&echo);
        }
    }
    e->accept();
    deliver(chars);
}

void TerminalEdit::inputMethodEvent(QInputMethodEvent* e)
{
    std::string chars;
    for (const QChar ch : e->commitString())
        if (ch.unicode() >= 0x20 && ch.unicode() <= 0xFF)
            chars += static_cast<char>(ch.unicode());
    if (m_host.localEcho() && roomFor(static_cast<int>(chars.size())))
        QPlainTextEdit::inputMethodEvent(e);
    else
        e->accept();
    deliver(chars);
}

void TerminalEdit::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        e->accept();
        return;
    }
    if (e->button() == Qt::LeftButton && !(e->modifiers() & Qt::ShiftModifier)) {
        // The box is no drag source: a drag moved out of it would cut the driver's text away. A
        // press inside the selection starts a new selection, as anywhere else.
        QTextCursor cursor = textCursor();
        if (cursor.hasSelection()) {
            cursor.clearSelection();
            setTextCursor(cursor);
        }
    }
    QPlainTextEdit::mousePressEvent(e);
}

void TerminalEdit::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton) {
        e->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(e);
}

void TerminalEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton) {
        e->accept();
        return;
    }
    QPlainTextEdit::mouseDoubleClickEvent(e);
}

void TerminalEdit::contextMenuEvent(QContextMenuEvent* e)
{
    e->accept();
}

void TerminalEdit::resizeEvent(QResizeEvent* e)
{
    QPlainTextEdit::resizeEvent(e);
    viewport()->update();
}

bool TerminalEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return m_host.localEcho() && source->hasText();
}

void TerminalEdit::insertFromMimeData(const QMimeData* source)
{
    if (!canInsertFromMimeData(source))
        return;
    // Only what fits under the typing limit, as bytes the driver's line can carry.
    std::string bytes = textBytes(source->text());
    QTextCursor cursor = textCursor();
    const int selected = cursor.selectionEnd() - cursor.selectionStart();
    const int room = std::max(0, TerminalText::kTypingLimit - m_text.length() + selected);
    if (static_cast<int>(bytes.size()) > room) {
        bytes.resize(static_cast<std::size_t>(room));
        if (!bytes.empty() && bytes.back() == '\r')
            bytes.pop_back();
    }
    cursor.insertText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
    ensureCursorVisible();
}
