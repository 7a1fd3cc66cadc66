// What the terminal screen and the terminal window share: their box, the direct text they send
// one character at a time with their own window as the text window, the driver's text taken and
// shown, and the paste that sends the clipboard one character per received echo.
#pragma once

#include "controlhost/CZRTERMED.h"

#include <platform/types.h>
#include <zrcomm/zrcomm.h>

#include <functional>
#include <string>
#include <string_view>

namespace talverin {

class ControlSite;

class TerminalLink {
public:
    static constexpr int kReceiveBufferSize = 2048;

    // What the window makes of a character before it goes (and whether it goes at all).
    using CharRule = std::function<bool(int ch)>;
    enum class Sent { Ok, Refused, Failed };

    explicit TerminalLink(CharRule rule);

    void Attach(plat::HWND textWindow, ControlSite* box);
    CZRTERMED Box() const { return CZRTERMED(m_box); }
    ControlSite* BoxSite() const { return m_box; }

    // One character as one direct-text record: Refused by the window's rule (or a NUL, which no
    // text can carry), Failed when the library did not take it.
    Sent SendChar(int ch);
    // A text as one direct-text record; the library's result.
    CommResult SendText(const std::string& text);
    // Terminal output into the box.
    void Show(std::string_view text) const;

    // WM_COMM_TEXT with the text event: takes what the library received and shows it. A message
    // arriving while one is being shown is taken by that one, right after its own text.
    void ShowReceived();

    bool IsPasting() const { return m_pasting; }
    // The clipboard's text (CR LF and LF as CR), its first character sent now.
    void StartPaste();
    // After received text was shown: the next character of the paste, once the driver answered
    // the one before.
    void PasteStep();
    void StopPaste();

private:
    // From the index after the current one, the first character that goes; none: the paste ends.
    void sendNextPasteChar();

    CharRule m_rule;
    plat::HWND m_window = nullptr;
    ControlSite* m_box = nullptr;
    bool m_showing = false;
    bool m_again = false;
    bool m_pasting = false;
    std::string m_paste;
    std::size_t m_index = 0;
    std::string m_heard; // received since the paste's last character went
};

} // namespace talverin
