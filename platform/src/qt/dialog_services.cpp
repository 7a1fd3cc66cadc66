#include "platform/qt/dialog_services.h"

#include "platform/paths.h"
#include "platform/qt/modal_dialog.h"
#include "platform/qt/window_bridge.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>

namespace plat::qt {

namespace {

std::mutex g_resolverMutex;
OwnerResolver g_resolver;

QMessageBox::StandardButton standardButton(int id)
{
    switch (id) {
    case IDOK: return QMessageBox::Ok;
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

int buttonId(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Abort: return IDABORT;
    case QMessageBox::Retry: return IDRETRY;
    case QMessageBox::Ignore: return IDIGNORE;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return 0;
    }
}

QMessageBox::Icon iconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// What closing the box (Escape, the title bar) answers.
int escapeAnswer(UINT type)
{
    if (MessageBoxOffers(type, IDCANCEL))
        return IDCANCEL;
    if (MessageBoxOffers(type, IDNO))
        return IDNO;
    return MessageBoxButtons(type).front();
}

int showBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    QMessageBox box(iconOf(type), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, ResolveOwner(owner));
    for (int id : MessageBoxButtons(type))
        box.addButton(standardButton(id));
    box.setDefaultButton(standardButton(MessageBoxDefaultButton(type)));
    box.setEscapeButton(box.button(standardButton(escapeAnswer(type))));
    if (!owner)
        box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    const int id = buttonId(box.standardButton(box.clickedButton()));
    return id != 0 ? id : escapeAnswer(type);
}

// Runs f in the GUI thread and returns its result; from another thread it queues f there and
// waits. The hand-over uses std primitives rather than a blocking queued connection, so that the
// sanitizers see the synchronisation.
template <typename F> auto inGuiThread(F f) -> decltype(f())
{
    using Result = decltype(f());
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return f();
    struct Handoff {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        Result result{};
    };
    auto handoff = std::make_shared<Handoff>();
    QMetaObject::invokeMethod(
        app,
        [handoff, &f] {
            Result r = f();
            {
                std::lock_guard lock(handoff->mutex);
                handoff->result = std::move(r);
                handoff->finished = true;
            }
            handoff->done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(handoff->mutex);
    handoff->done.wait(lock, [&] { return handoff->finished; });
    return std::move(handoff->result);
}

FileDialogResult showFileDialog(const FileDialogRequest& request)
{
    const QString title = !request.title.empty() ? QString::fromStdString(request.title)
                          : request.save         ? QObject::tr("Save As")
                                                 : QObject::tr("Open");
    QFileDialog dialog(ResolveOwner(request.owner), title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (request.save && !(request.flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));

    QStringList filters;
    for (const FileFilter& f : ParseMfcFilter(request.filter))
        filters << QString::fromStdString(QtFilterText(f));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size()
                              ? request.filterIndex - 1
                              : 0;
        dialog.selectNameFilter(filters[index]);
    }

    if (!request.initialPath.empty()) {
        const QString initial = QString::fromStdString(request.initialPath);
        const QFileInfo info(initial);
        if (info.isDir()) {
            dialog.setDirectory(initial);
        } else {
            if (initial.contains(QLatin1Char('/')))
                dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        }
    }

    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    FileDialogResult result;
    result.accepted = true;
    result.path = QDir::cleanPath(QFileInfo(dialog.selectedFiles().front()).absoluteFilePath())
                      .toStdString();
    const int index = filters.indexOf(dialog.selectedNameFilter());
    result.filterIndex = index >= 0 ? index + 1 : request.filterIndex;
    return result;
}

} // namespace

int QtMessageBoxService::show(HWND owner, const std::string& text, const std::string& caption,
                              UINT type)
{
    if (!QCoreApplication::instance()) {
        std::fprintf(stderr, "message box without an application: [%s] %s\n", caption.c_str(),
                     text.c_str());
        return MessageBoxDefaultButton(type);
    }
    return inGuiThread([&] { return showBox(owner, text, caption, type); });
}

FileDialogResult QtFileDialogService::show(const FileDialogRequest& request)
{
    if (!QCoreApplication::instance())
        return {};
    return inGuiThread([&] { return showFileDialog(request); });
}

void InstallDialogServices()
{
    static QtMessageBoxService boxes;
    static QtFileDialogService files;
    SetMessageBoxService(&boxes);
    SetFileDialogService(&files);
    SetBeepHandler([](UINT) { QApplication::beep(); });
}

void SetOwnerResolver(OwnerResolver resolver)
{
    std::lock_guard lock(g_resolverMutex);
    g_resolver = std::move(resolver);
}

QWidget* ResolveOwner(HWND owner)
{
    if (!owner)
        return nullptr;
    OwnerResolver resolver;
    {
        std::lock_guard lock(g_resolverMutex);
        resolver = g_resolver;
    }
    return resolver ? resolver(owner) : WidgetFromHandle(owner);
}

} // namespace plat::qt
