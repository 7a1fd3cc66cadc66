#include "platform/qt/modal_dialog.h"

#include <QDialog>

namespace plat::qt {

namespace {
// Modal dialogs run in the GUI thread only, so the runner needs no lock.
ScopedDialogRunner* g_runner = nullptr;
} // namespace

ScopedDialogRunner::ScopedDialogRunner(DialogRunner runner)
    : m_runner(std::move(runner)), m_previous(g_runner)
{
    g_runner = this;
}

ScopedDialogRunner::~ScopedDialogRunner() { g_runner = m_previous; }

int RunModal(QDialog& dialog)
{
    ScopedDialogRunner* runner = g_runner;
    if (!runner || !runner->m_runner)
        return dialog.exec();
    const QString name = dialog.objectName().isEmpty()
                             ? QString::fromLatin1(dialog.metaObject()->className())
                             : dialog.objectName();
    runner->m_dialogs.push_back(name);
    return runner->m_runner(dialog);
}

} // namespace plat::qt
