// The real message boxes and file dialogs, on QMessageBox and QFileDialog. The program installs
// them once after creating its QApplication; tests keep the scripted services instead.
#pragma once

#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <functional>

class QWidget;

namespace plat::qt {

// Shows a QMessageBox with the Win32 icon, buttons and default button, parented to the owner
// handle's widget (see SetOwnerResolver). Called from another thread, it is sent to a window of
// the GUI thread and waits for the answer: the GUI thread shows it from its event loop or from a
// message-aware wait (a Thread::join of the asking thread included). Once the application has
// left its loop or is gone, the asker gets the default button (a file dialog: cancelled) and a
// log line instead of waiting for ever. Closing the box without a button gives IDCANCEL where
// the box has Cancel, IDNO for Yes/No, else its first button. Use one service from the GUI thread
// (or InstallDialogServices) before other threads ask.
class QtMessageBoxService : public MessageBoxService {
public:
    QtMessageBoxService(); // on the GUI thread: readies the hand-over for other threads
    int show(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
};

class QtFileDialogService : public FileDialogService {
public:
    QtFileDialogService();
    FileDialogResult show(const FileDialogRequest& request) override;
};

// Installs both Qt services process-wide (they live until the process ends), and the beep of
// MessageBeep (QApplication::beep).
void InstallDialogServices();

// Runs f in the GUI thread the way the services above show their dialogs: at once on it, else
// handed over and waited for. False, with a log line naming what, when another thread asks and the
// GUI thread cannot take it (no service made yet, or the application has left its loop).
bool RunInGuiThread(const std::function<void()>& f, const char* what);

// Maps an owner handle to the widget that parents its dialogs. The default looks the handle up in
// the window bridges (WidgetFromHandle); replaceable for programs with their own handles.
using OwnerResolver = std::function<QWidget*(HWND)>;
void SetOwnerResolver(OwnerResolver resolver); // empty: back to the default
QWidget* ResolveOwner(HWND owner);

} // namespace plat::qt
