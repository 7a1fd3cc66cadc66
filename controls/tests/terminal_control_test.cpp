// The terminal edit control through its dispatch ids and its box, as the terminal screens use
// it: typing reported by events, output shown, the text handed out.
#include <controls/ZRTERMEDMembers.h>

#include <component/loader.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

using comp::InvokeKind;
using comp::Variant;
namespace m = ctl::zrtermed;

namespace {

class TerminalControlGuiTest : public ::testing::Test, public comp::EventSink {
protected:
    void SetUp() override
    {
        auto r = comp::Loader::instance().create(ctl::kZRTERMEDIdentity.clsid);
        ASSERT_TRUE(r.ok()) << r.error;
        m_control = std::move(r.control);
        m_control->setEventSink(this);
        m_form.resize(400, 300);
        m_box = qobject_cast<QPlainTextEdit*>(m_control->createWidget(&m_form));
        ASSERT_NE(m_box, nullptr);
        m_box->setGeometry(0, 0, 400, 300);
        m_form.show();
    }

    void onEvent(comp::Control&, comp::DISPID id, std::span<const Variant> args) override
    {
        m_events.push_back(id == m::KeyEnter ? "Enter:" + args[0].toString() : "Char:" + std::to_string(args[0].toI4()));
    }

    void put(comp::DISPID id, bool v) { ASSERT_TRUE(m_control->invoke(id, InvokeKind::PropertyPut, {Variant::fromBool(v)}).ok()); }
    void add(const std::string& s) { m_control->invoke(m::AddString, InvokeKind::Method, {Variant::fromString(s), Variant::fromBool(false)}); }
    std::string text()
    {
        const int n = m_control->invoke(m::GetTextLength, InvokeKind::Method).value.toI4();
        std::string buf(static_cast<std::size_t>(n) + 1, '?');
        m_control->invoke(m::GetText, InvokeKind::Method, {Variant::fromUnknown(buf.data()), Variant::fromI4(n)});
        buf.pop_back();
        return buf;
    }
    // What the box shows, with its line breaks as CR LF.
    std::string shown() const { return m_box->toPlainText().replace('\n', "\r\n").toLatin1().toStdString(); }

    QWidget m_form;
    std::unique_ptr<comp::Control> m_control;
    QPlainTextEdit* m_box = nullptr;
    std::vector<std::string> m_events;
};

} // namespace

TEST_F(TerminalControlGuiTest, TypedKeysAreReportedAndEchoedOnlyWhenAsked)
{
    add("READY>");
    QTest::keyClicks(m_box, "ls");
    QTest::keyClick(m_box, Qt::Key_Return);
    QTest::keyClick(m_box, Qt::Key_Tab);
    QTest::keyClick(m_box, Qt::Key_Backspace);
    QTest::keyClick(m_box, Qt::Key_Escape);
    QTest::keyClick(m_box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(m_box, Qt::Key_Delete);
    EXPECT_EQ(m_events, (std::vector<std::string>{"Char:76", "Char:83", "Enter:LS", "Char:9", "Char:8", "Char:27", "Char:22"}));
    EXPECT_EQ(text(), "READY>");

    m_events.clear();
    put(m::EnterOnCharEnabled, true);
    QTest::keyClick(m_box, Qt::Key_Enter);
    EXPECT_EQ(m_events, (std::vector<std::string>{"Enter:\t\b\x1b\x16", "Char:13"}));

    put(m::LocalEcho, true);
    m_box->moveCursor(QTextCursor::End);
    QTest::keyClicks(m_box, "ab");
    QTest::keyClick(m_box, Qt::Key_Backspace);
    QTest::keyClick(m_box, Qt::Key_Return);
    EXPECT_EQ(text(), "READY>A\r\n");
    // Output goes on at its own cursor, over what was echoed.
    add("XY");
    EXPECT_EQ(text(), "READY>XY\n");
    EXPECT_EQ(m_box->toPlainText(), "READY>XY\n");
}

TEST_F(TerminalControlGuiTest, TheBoxShowsTheTextWithTheLastLineAndTheCaretInPlace)
{
    std::string all;
    for (int i = 0; i < 300; ++i)
        all += "line " + std::to_string(i) + "\r\n";
    for (std::size_t i = 0; i < all.size(); i += 64)
        add(all.substr(i, 64));
    add("abc\r  ");
    EXPECT_EQ(shown(), text());
    EXPECT_EQ(text().substr(text().size() - 4), "\n  c");
    EXPECT_EQ(m_box->verticalScrollBar()->value(), m_box->verticalScrollBar()->maximum());
    EXPECT_EQ(m_box->textCursor().position(), m_box->document()->characterCount() - 1);

    // A right click shows no menu and leaves the caret.
    const int caret = m_box->textCursor().position();
    QTest::mouseClick(m_box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(m_box->textCursor().position(), caret);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    // A press inside the selection starts a new one: nothing is dragged (and moved) out of the box.
    m_box->selectAll();
    QTest::mousePress(m_box->viewport(), Qt::LeftButton, {}, m_box->cursorRect(QTextCursor(m_box->document())).center());
    EXPECT_FALSE(m_box->textCursor().hasSelection());
    QTest::mouseRelease(m_box->viewport(), Qt::LeftButton);

    // Past the bound in one call, then a null string.
    add(std::string(40000, 'Z'));
    EXPECT_EQ(text(), std::string(40000 - 16384, 'Z'));
    EXPECT_EQ(shown(), text());
    m_control->invoke(m::AddString, InvokeKind::Method, {Variant::fromNullString(), Variant::fromBool(false)});
    EXPECT_EQ(text(), "");
    EXPECT_TRUE(m_box->toPlainText().isEmpty());
}

TEST_F(TerminalControlGuiTest, GetTextCopiesTheZeroWhenTheSizeCoversTheTextAndReadOnlyMovesToTheEnd)
{
    add("L1\r\nL2");
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    auto get = [&](int size) {
        return m_control->invoke(m::GetText, InvokeKind::Method, {Variant::fromUnknown(buf), Variant::fromI4(size)}).value.toI4();
    };
    EXPECT_EQ(get(5), 6);
    EXPECT_EQ(buf[0], '#');
    EXPECT_EQ(get(6), 6);
    EXPECT_EQ(std::string(buf, 7), std::string("L1\r\nL2\0", 7));
    EXPECT_EQ(buf[7], '#');
    EXPECT_EQ(m_control->invoke(m::GetText, InvokeKind::Method, {Variant::fromUnknown(nullptr), Variant::fromI4(99)}).value.toI4(), 6);

    put(m::ReadOnly, true);
    EXPECT_TRUE(m_box->isReadOnly());
    add("\r");
    put(m::ReadOnly, false);
    EXPECT_FALSE(m_box->isReadOnly());
    add("!");
    EXPECT_EQ(text(), "L1\r\nL2!");
    EXPECT_EQ(m_control->invoke(m::AddChar, InvokeKind::Method, {Variant::fromI4(0x141)}).value, Variant::fromI4(0));
    EXPECT_EQ(text(), "L1\r\nL2!A");
    m_control->invoke(m::Clear, InvokeKind::Method, {Variant::fromBool(true), Variant::fromBool(true)});
    EXPECT_EQ(text(), "");
}

TEST_F(TerminalControlGuiTest, DriverTextIsShownDecodedAndKeptByteForByte)
{
    // UTF-8 cut between two outputs; then Shift_JIS ("テスト") cut inside a pair.
    add("\xE3\x81");
    EXPECT_EQ(m_box->toPlainText(), "");
    add("\x82\r\n\x83\x65\x83");
    EXPECT_EQ(m_box->toPlainText(), QString::fromUtf8("\xE3\x81\x82\n\xE3\x83\x86"));
    add("\x58\x83\x67\r\nOK\rN");
    EXPECT_EQ(m_box->toPlainText(), QString::fromUtf8("\xE3\x81\x82\n\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\nNK"));
    EXPECT_EQ(text(), "\xE3\x81\x82\r\n\x83\x65\x83\x58\x83\x67\r\nNK");
    EXPECT_EQ(m_box->textCursor().position(), m_box->document()->characterCount() - 1);
    // Bytes that are no character in either (line noise) read as replacements; the bytes stay.
    add("\r\n\xFF\x81\x20!");
    EXPECT_TRUE(m_box->toPlainText().endsWith(QString(QChar(0xFFFD)) + QString(QChar(0xFFFD)) + " !"));
    EXPECT_EQ(text().substr(text().size() - 4), "\xFF\x81\x20!");
}
