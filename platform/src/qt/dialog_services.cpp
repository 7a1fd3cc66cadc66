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

#include <functional>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>

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

// A message window of the GUI thread that runs dialogs asked from other threads. The asking
// thread sends (cancellably) to it: the GUI thread runs sent messages in its event loop and also
// inside its message-aware waits (Thread::join), so a GUI thread that is joining the asker still
// shows the box. Once the application leaves its loop or goes, waiting askers are released and
// get the default answer; later ones get it at once.
constexpr UINT WM_RUN_IN_GUI = WM_USER + 0x7F00;

struct GuiCalls {
    std::mutex mutex;
    QObject* anchor = nullptr;
    WindowBridge* bridge = nullptr; // a bridge, so that the GUI thread's Qt loop runs its sends
    Event dropped{true, false};

    HWND window()
    {
        std::lock_guard lock(mutex);
        return bridge ? bridge->hwnd() : nullptr;
    }
};

GuiCalls& guiCalls()
{
    static auto* calls = new GuiCalls; // outlives static destructors that may still ask
    return *calls;
}

// Releases waiting askers and removes the window (GUI thread).
void dropGuiCalls()
{
    GuiCalls& c = guiCalls();
    c.dropped.set();
    WindowBridge* bridge = nullptr;
    QObject* anchor = nullptr;
    {
        std::lock_guard lock(c.mutex);
        std::swap(bridge, c.bridge);
        std::swap(anchor, c.anchor);
    }
    delete bridge; // senders still queued fail at once
    delete anchor;
}

// Makes the window; only on the GUI thread.
void ensureGuiCallWindow()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    GuiCalls& calls = guiCalls();
    {
        std::lock_guard lock(calls.mutex);
        if (calls.bridge)
            return;
        calls.anchor = new QObject;
        calls.bridge = new WindowBridge(calls.anchor, [](HWND, UINT m, WPARAM, LPARAM l) -> LRESULT {
            if (m == WM_RUN_IN_GUI)
                (*reinterpret_cast<const std::function<void()>*>(l))();
            return 0;
        });
        calls.dropped.reset();
    }
    QObject::connect(app, &QCoreApplication::aboutToQuit, calls.anchor, dropGuiCalls);
    QObject::connect(app, &QObject::destroyed, dropGuiCalls);
}

// Runs f in the GUI thread and returns its result; from another thread it is handed over and
// waited for. fallback is the answer when the GUI thread can no longer take it.
template <typename F, typename R> R inGuiThread(F f, R fallback, const char* what)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        ensureGuiCallWindow();
        return f();
    }
    GuiCalls& calls = guiCalls();
    const HWND window = calls.window();
    std::optional<R> result;
    const std::function<void()> call = [&] { result = f(); };
    if (!window || !SendMessageCancellable(window, WM_RUN_IN_GUI, 0, reinterpret_cast<LPARAM>(&call),
                                           calls.dropped) || !result) {
        std::fprintf(stderr, "plat::qt: %s asked from another thread after the user interface "
                             "stopped taking it; the default answer is given\n", what);
        return fallback;
    }
    return std::move(*result);
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

QtMessageBoxService::QtMessageBoxService() { ensureGuiCallWindow(); }
QtFileDialogService::QtFileDialogService() { ensureGuiCallWindow(); }

int QtMessageBoxService::show(HWND owner, const std::string& text, const std::string& caption,
                              UINT type)
{
    if (!QCoreApplication::instance()) {
        std::fprintf(stderr, "message box without an application: [%s] %s\n", caption.c_str(),
                     text.c_str());
        return MessageBoxDefaultButton(type);
    }
    return inGuiThread([&] { return showBox(owner, text, caption, type); },
                       MessageBoxDefaultButton(type), "a message box");
}

FileDialogResult QtFileDialogService::show(const FileDialogRequest& request)
{
    if (!QCoreApplication::instance())
        return {};
    return inGuiThread([&] { return showFileDialog(request); }, FileDialogResult{}, "a file dialog");
}

bool RunInGuiThread(const std::function<void()>& f, const char* what)
{
    return inGuiThread([&] {
        f();
        return true;
    }, false, what);
}

void InstallDialogServices()
{
    ensureGuiCallWindow();
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
