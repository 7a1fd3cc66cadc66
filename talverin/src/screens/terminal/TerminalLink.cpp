#include "screens/terminal/TerminalLink.h"

#include "common/ClipboardHelpers.h"
#include "connection/DriverQueue.h"
#include "screens/terminal/TerminalSending.h"

namespace talverin {

TerminalLink::TerminalLink(CharRule rule) : m_rule(std::move(rule)) {}

void TerminalLink::Attach(plat::HWND textWindow, ControlSite* box)
{
    m_window = textWindow;
    m_box = box;
}

TerminalLink::Sent TerminalLink::SendChar(int ch)
{
    if (ch == 0 || (m_rule && !m_rule(ch)))
        return Sent::Refused;
    const char text[2] = {static_cast<char>(ch), '\0'};
    return CurrentDriverQueue().sendText(m_window, text) == COMM_OK ? Sent::Ok : Sent::Failed;
}

CommResult TerminalLink::SendText(const std::string& text)
{
    return CurrentDriverQueue().sendText(m_window, text);
}

void TerminalLink::Show(std::string_view text) const
{
    if (!text.empty())
        Box().AddString(text, plat::FALSE);
}

void TerminalLink::ShowReceived()
{
    if (m_showing) {
        m_again = true;
        return;
    }
    m_showing = true;
    do {
        m_again = false;
        const std::string received = CurrentDriverQueue().receivedText(kReceiveBufferSize);
        Show(received);
        if (m_pasting)
            m_heard += received;
    } while (m_again);
    m_showing = false;
}

void TerminalLink::StartPaste()
{
    m_pasting = true;
    m_paste = TerminalPasteText(GetClipboardText());
    m_index = static_cast<std::size_t>(-1);
    sendNextPasteChar();
}

void TerminalLink::PasteStep()
{
    // One character on the line at a time: not every piece of text answers it.
    if (m_pasting && m_index < m_paste.size() && PasteCharAnswered(m_paste[m_index], m_heard))
        sendNextPasteChar();
}

void TerminalLink::StopPaste()
{
    m_pasting = false;
    m_paste.clear();
    m_heard.clear();
}

void TerminalLink::sendNextPasteChar()
{
    // A character this window does not send is passed over; one the library refuses ends the
    // paste, as no echo will come to send the next one.
    m_heard.clear();
    while (++m_index < m_paste.size()) {
        const Sent sent = SendChar(static_cast<unsigned char>(m_paste[m_index]));
        if (sent == Sent::Ok)
            return;
        if (sent == Sent::Failed)
            break;
    }
    StopPaste();
}

} // namespace talverin
