// Every modal QDialog of the system runs through RunModal(), so that tests can answer it without
// a modal loop that nobody would end: a test installs a runner that fills in the dialog's fields
// and returns the result exec() would have given.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QDialog;

namespace plat::qt {

// dialog.exec(), or the installed runner's answer. Runs in the GUI thread.
int RunModal(QDialog& dialog);

using DialogRunner = std::function<int(QDialog&)>;

// Installs a runner for a scope and records the dialogs it ran (their object names); nests.
// Without a runner RunModal calls exec().
class ScopedDialogRunner {
public:
    explicit ScopedDialogRunner(DialogRunner runner);
    ~ScopedDialogRunner();
    ScopedDialogRunner(const ScopedDialogRunner&) = delete;
    ScopedDialogRunner& operator=(const ScopedDialogRunner&) = delete;

    // Object names (or class names when unnamed) of the dialogs run, in order.
    const std::vector<QString>& dialogs() const { return m_dialogs; }

private:
    friend int RunModal(QDialog& dialog);
    DialogRunner m_runner;
    ScopedDialogRunner* m_previous;
    std::vector<QString> m_dialogs;
};

} // namespace plat::qt
