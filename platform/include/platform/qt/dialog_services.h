// The real message boxes and file dialogs, on QMessageBox and QFileDialog. The program installs
// them once after creating its QApplication; tests keep the scripted services instead.
#pragma once

#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <functional>

class QWidget;

namespace plat::qt {

// Shows a QMessageBox with the Win32 icon, buttons and default button, parented to the owner
// handle's widget (see SetOwnerResolver). Called from another thread, it shows the box in the GUI
// thread and waits for the answer. Closing the box without a button gives IDCANCEL where the box
// has Cancel, IDNO for Yes/No, else its first button.
class QtMessageBoxService : public MessageBoxService {
public:
    int show(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
};

class QtFileDialogService : public FileDialogService {
public:
    FileDialogResult show(const FileDialogRequest& request) override;
};

// Installs both Qt services process-wide (they live until the process ends), and the beep of
// MessageBeep (QApplication::beep).
void InstallDialogServices();

// Maps an owner handle to the widget that parents its dialogs. The default looks the handle up in
// the window bridges (WidgetFromHandle); replaceable for programs with their own handles.
using OwnerResolver = std::function<QWidget*(HWND)>;
void SetOwnerResolver(OwnerResolver resolver); // empty: back to the default
QWidget* ResolveOwner(HWND owner);

} // namespace plat::qt
