// The one way the system shows a message box: MessageBox() with Win32 flags and results goes to
// the process-wide MessageBoxService. The program installs the Qt service (qt/dialog_services.h);
// tests install ScriptedMessageBoxes, which records every box and answers from a script, so no
// test ever blocks on a dialog.
#pragma once

#include "platform/types.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace plat {

// Buttons.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONSTOP = 0x10;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
// Default button (1-based position among the box's buttons).
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
// Modality (every box here is modal to its owner's window).
inline constexpr UINT MB_APPLMODAL = 0x0000;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr UINT MB_TASKMODAL = 0x2000;
inline constexpr UINT MB_SETFOREGROUND = 0x10000;
inline constexpr UINT MB_TOPMOST = 0x40000;

inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr UINT MB_DEFMASK = 0xF00;

// Results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The buttons a box of this type shows, in order (IDOK ..., one to three of them).
std::vector<int> MessageBoxButtons(UINT type);
// The button that MB_DEFBUTTONn selects (the first when n is past the last button).
int MessageBoxDefaultButton(UINT type);
// Does a box of this type offer the answer id?
bool MessageBoxOffers(UINT type, int id);

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows the box modally (owner: the window it belongs to, or null) and returns the button.
    virtual int show(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// The installed service. Without one, boxes are written to stderr and answered with their
// default button: a program without a user interface cannot ask anybody.
MessageBoxService& CurrentMessageBoxService();
// Installs the program's service (null: back to the stderr fallback).
void SetMessageBoxService(MessageBoxService* service);

// Installs a service for a scope and restores the previous one; nests.
class ScopedMessageBoxService {
public:
    explicit ScopedMessageBoxService(MessageBoxService& service);
    ~ScopedMessageBoxService();
    ScopedMessageBoxService(const ScopedMessageBoxService&) = delete;
    ScopedMessageBoxService& operator=(const ScopedMessageBoxService&) = delete;

private:
    MessageBoxService* m_previous;
};

// Win32-shaped entry: CurrentMessageBoxService().show(...). Null texts count as "".
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// ---- Beeps ----------------------------------------------------------------------------------

// MessageBeep: the sound of a box type (MB_OK for the default beep, MB_ICONWARNING ...). It goes
// to the installed beep handler; without one nothing sounds (a program without a user interface
// has no speaker to ring). The Qt services (InstallDialogServices) install QApplication::beep.
// Returns TRUE.
BOOL MessageBeep(UINT type);

using BeepHandler = std::function<void(UINT type)>;
// Installs the program's handler (empty: silent).
void SetBeepHandler(BeepHandler handler);

// Records the beeps of a scope instead of sounding them, and restores the previous handler; nests.
// Thread-safe.
class ScopedBeepRecorder {
public:
    ScopedBeepRecorder();
    ~ScopedBeepRecorder();
    ScopedBeepRecorder(const ScopedBeepRecorder&) = delete;
    ScopedBeepRecorder& operator=(const ScopedBeepRecorder&) = delete;

    std::size_t count() const;
    std::vector<UINT> types() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<UINT> m_types;
    BeepHandler m_previous;
};

// Records every box and answers from a queue. A box with no scripted answer, or with an answer
// its buttons do not offer, is a test failure: the failure handler is called with a description
// (default: print it and abort the process, so it cannot go unnoticed) and the box's default
// button is returned. Thread-safe.
class ScriptedMessageBoxes : public MessageBoxService {
public:
    struct Shown {
        HWND owner = nullptr;
        std::string text;
        std::string caption;
        UINT type = 0;
        int answer = 0;
    };

    ScriptedMessageBoxes() = default;
    explicit ScriptedMessageBoxes(std::function<void(const std::string&)> onFailure);

    // Queues the answer to the next unanswered box.
    ScriptedMessageBoxes& answer(int id);
    // Queues an answer computed when the box is shown (it sees the box).
    ScriptedMessageBoxes& answerWith(std::function<int(const Shown&)> answerer);
    std::size_t pending() const;

    int show(HWND owner, const std::string& text, const std::string& caption, UINT type) override;

    std::vector<Shown> shown() const;
    std::size_t count() const;
    Shown last() const; // a default-constructed Shown when none was shown
    void clear();       // forgets the boxes and the unused answers

private:
    void fail(const std::string& what) const;

    mutable std::mutex m_mutex;
    std::deque<std::function<int(const Shown&)>> m_answers;
    std::vector<Shown> m_shown;
    std::function<void(const std::string&)> m_onFailure;
};

} // namespace plat
