// What the terminal screen and the terminal window send, as plain rules: the clipboard text a
// paste sends, the characters the screen passes to the driver, the field of a dragged parameter
// row, the bytes of a saved record, and a dropped text file read line by line.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace talverin {

// The clipboard's text as a paste sends it: each CR LF pair, then each remaining LF, becomes CR.
std::string TerminalPasteText(std::string_view clipboard);

// Whether a paste may send its next character, given the one it sent last and the text received
// since. A character is answered by its echo. A carriage return is answered only when the driver
// waits for input again (a prompt, or a question), as its echo, the reply lines and the prompt
// may come apart and a driver drops what reaches it while it answers.
bool PasteCharAnswered(char sent, std::string_view heard);

// Backspace, line feed, carriage return and 0x20-0x7E: what the terminal screen sends.
bool ScreenSends(int ch);

// A parameter row dragged from the parameter editor, split as a definition line.
struct DraggedRow {
    int fields = 0;
    bool offer = false;       // the drop is offered (as a copy)
    std::string comment;      // shown before sending (with Shift on a row of more than five fields)
    std::string command;      // sent as direct text without CR; empty: nothing is sent
};
DraggedRow ParseDraggedRow(std::string_view text, bool shift);

// The terminal's text as the record file holds it: CR LF line ends (a lone LF becomes one too).
std::string SaveRecordBytes(std::string_view text);

// A dropped text file sent line by line: LF, CR LF and a lone CR end a line (the line end is not
// part of it, nor is a NUL byte). Each step says what to show and what to send; a step that closes the file ends the
// transfer.
class TerminalFileSender {
public:
    struct Step {
        std::string show;
        std::optional<std::string> send;
    };

    TerminalFileSender();
    ~TerminalFileSender();
    TerminalFileSender(const TerminalFileSender&) = delete;
    TerminalFileSender& operator=(const TerminalFileSender&) = delete;

    // Opens the file for reading (closing one still open); false when it cannot be read.
    bool open(const std::string& path);
    bool isOpen() const { return m_file != nullptr; }
    // Closes the file; never touches it on disk.
    void close();

    // The first step: comments are shown and passed over (unless Escape is held: the file then
    // waits for the next received text), an empty line sends a lone CR, another line is sent with
    // a CR; a file that ends before any line was sent shows a line end, sends a lone CR and closes.
    Step first(bool escapeHeld);
    // Each later step, after received text: one line (the end of the file counts as an empty
    // line); a comment is only shown. At the end of the file or with Escape held the file closes.
    Step next(bool escapeHeld);

private:
    // The next line; nullopt at the end of the file (or when it can no longer be read).
    std::optional<std::string> readLine();

    std::FILE* m_file = nullptr;
};

} // namespace talverin
