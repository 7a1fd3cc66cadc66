// The message-box seam inside real Qt modal loops, the Qt message box and file dialog services,
// and the modal dialog runner. Headless: boxes are answered by timers that find the active modal
// widget, never by a person.
#include "platform/message_box.h"
#include "platform/qt/dialog_services.h"
#include "platform/qt/modal_dialog.h"
#include "platform/qt/window_bridge.h"

#include <testsupport/temp_folder.h>

#include "platform/sync.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <thread>

namespace plat {
namespace {

// Waits (in the event loop) for the next modal QMessageBox, hands it to act, which must close it.
void whenBoxAppears(std::function<void(QMessageBox*)> act)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(box);
        }
    });
    timer->start();
}

TEST(GuiMessageBoxSeam, ScriptedAnswersInsideAModalDialogLoop)
{
    QWidget frame;
    qt::WindowBridge bridge(&frame);
    ScriptedMessageBoxes boxes;
    boxes.answer(IDNO).answer(IDCANCEL).answer(IDOK);
    ScopedMessageBoxService installed(boxes);

    QDialog dialog(&frame);
    std::vector<int> answers;
    QTimer::singleShot(0, &dialog, [&] {
        answers.push_back(MessageBox(bridge.hwnd(), "Save changes?", "Talverin",
                                     MB_YESNOCANCEL | MB_ICONWARNING));
        answers.push_back(MessageBox(bridge.hwnd(), "Really quit?", "Talverin",
                                     MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2));
        answers.push_back(MessageBox(nullptr, "Done.", "Talverin", MB_OK));
        dialog.accept();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(answers, (std::vector<int>{IDNO, IDCANCEL, IDOK}));
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].owner, bridge.hwnd());
    EXPECT_EQ(shown[1].type, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(shown[2].text, "Done.");
}

TEST(GuiQtMessageBox, ShowsTheWin32ButtonsIconAndDefaultAndMapsTheAnswer)
{
    QWidget frame;
    qt::WindowBridge bridge(&frame);
    qt::QtMessageBoxService service;
    ScopedMessageBoxService installed(service);

    QWidget* parent = nullptr;
    QMessageBox::Icon icon{};
    QString defaultText;
    int buttons = 0;
    whenBoxAppears([&](QMessageBox* box) {
        parent = box->parentWidget();
        icon = box->icon();
        defaultText = box->defaultButton()->text();
        buttons = static_cast<int>(box->buttons().size());
        EXPECT_EQ(box->text(), "Disconnect from the driver?");
        EXPECT_EQ(box->windowTitle(), "Talverin");
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(MessageBox(bridge.hwnd(), "Disconnect from the driver?", "Talverin",
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2),
              IDYES);
    EXPECT_EQ(parent, &frame);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, 2);

    whenBoxAppears([](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->reject(); // Escape / closing the window
    });
    EXPECT_EQ(MessageBox(nullptr, "Port cannot be opened.", "Error", MB_OKCANCEL | MB_ICONSTOP),
              IDCANCEL);

    whenBoxAppears([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "t", MB_YESNO | MB_ICONWARNING), IDNO);

    whenBoxAppears([](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(MessageBox(nullptr, "Finished.", "t", MB_OK | MB_ICONINFORMATION), IDOK);

    whenBoxAppears([](QMessageBox* box) {
        EXPECT_EQ(box->buttons().size(), 3);
        box->button(QMessageBox::Retry)->click();
    });
    EXPECT_EQ(MessageBox(nullptr, "Write failed.", "t", MB_ABORTRETRYIGNORE), IDRETRY);
}

TEST(GuiQtMessageBox, ABoxAskedForFromAWorkerThreadShowsInTheGuiThread)
{
    qt::QtMessageBoxService service;
    ScopedMessageBoxService installed(service);
    std::atomic<bool> boxInGuiThread{false};
    whenBoxAppears([&](QMessageBox* box) {
        boxInGuiThread = box->thread() == qApp->thread();
        box->button(QMessageBox::No)->click();
    });
    std::atomic<int> answer{0};
    QEventLoop loop;
    std::thread worker([&] {
        answer = MessageBox(nullptr, "From the line thread", "t", MB_YESNO);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    EXPECT_EQ(answer.load(), IDNO);
    EXPECT_TRUE(boxInGuiThread.load());
}

TEST(GuiQtMessageBox, AskedWhileTheGuiThreadJoinsTheAskerOrAfterItsLoopEnded)
{
    qt::QtMessageBoxService service;
    ScopedMessageBoxService installed(service);
    whenBoxAppears([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    std::atomic<int> answer{0};
    Thread worker;
    ASSERT_TRUE(worker.start([&] { answer = MessageBox(nullptr, "Joined", "t", MB_YESNO); }));
    EXPECT_TRUE(worker.join(30000)); // the join runs the box
    EXPECT_EQ(answer.load(), IDNO);

    // The loop has ended: the asker gets the default button at once instead of hanging.
    ASSERT_TRUE(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
    ASSERT_TRUE(worker.start([&] { answer = MessageBox(nullptr, "Late", "t", MB_YESNO | MB_DEFBUTTON2); }));
    EXPECT_TRUE(worker.join(30000));
    EXPECT_EQ(answer.load(), IDNO);
    qt::QtMessageBoxService again; // a GUI-thread service readies the hand-over anew
}

TEST(GuiQtMessageBox, OwnerResolverCanBeReplaced)
{
    QWidget other;
    auto fake = reinterpret_cast<HWND>(std::uintptr_t{0x77});
    EXPECT_EQ(qt::ResolveOwner(fake), nullptr);
    qt::SetOwnerResolver([&](HWND h) { return h == fake ? &other : nullptr; });
    EXPECT_EQ(qt::ResolveOwner(fake), &other);
    qt::SetOwnerResolver({});
    EXPECT_EQ(qt::ResolveOwner(fake), nullptr);
    EXPECT_EQ(qt::ResolveOwner(nullptr), nullptr);
}

TEST(GuiModalDialogs, RunnerAnswersExecWithoutAModalLoopAndRecordsTheDialogs)
{
    QDialog named;
    named.setObjectName("IDD_UPLOAD");
    QDialog unnamed;
    {
        qt::ScopedDialogRunner runner([](QDialog& d) {
            d.accept();
            return d.result();
        });
        EXPECT_EQ(qt::RunModal(named), QDialog::Accepted);
        {
            qt::ScopedDialogRunner inner([](QDialog&) { return QDialog::Rejected; });
            EXPECT_EQ(qt::RunModal(unnamed), QDialog::Rejected);
            EXPECT_EQ(inner.dialogs(), std::vector<QString>{"QDialog"});
        }
        EXPECT_EQ(qt::RunModal(unnamed), QDialog::Accepted);
        EXPECT_EQ(runner.dialogs(), (std::vector<QString>{"IDD_UPLOAD", "QDialog"}));
    }
    // Without a runner the real modal loop runs.
    QTimer::singleShot(0, &named, [&] { named.reject(); });
    EXPECT_EQ(qt::RunModal(named), QDialog::Rejected);
}

TEST(GuiQtFileDialog, RequestBecomesAQFileDialogAndItsChoiceTheResult)
{
    test::TempFolder dir;
    test::writeBytes(dir.file("old.zrd"), "x");
    qt::QtFileDialogService service;
    ScopedFileDialogService installed(service);

    QStringList filters;
    QString selectedFilter;
    QFileDialog::AcceptMode mode{};
    QString title;
    QString suffix;
    qt::ScopedDialogRunner runner([&](QDialog& d) {
        auto& fd = dynamic_cast<QFileDialog&>(d);
        filters = fd.nameFilters();
        selectedFilter = fd.selectedNameFilter();
        mode = fd.acceptMode();
        title = fd.windowTitle();
        suffix = fd.defaultSuffix();
        fd.selectNameFilter(filters.value(1));
        fd.selectFile(QString::fromStdString(dir.file("new.csv")));
        d.accept(); // QFileDialog's own accept, through the public QDialog one
        return d.result();
    });

    FileDialogRequest save;
    save.save = true;
    save.title = "Export";
    save.initialPath = dir.path();
    save.filter = "Bitmap (*.bmp)|*.bmp|CSV (*.csv)|*.csv||";
    save.filterIndex = 1;
    save.defaultExtension = "bmp";
    const FileDialogResult r = PromptFileName(save);
    EXPECT_EQ(filters, (QStringList{"Bitmap (*.bmp)", "CSV (*.csv)"}));
    EXPECT_EQ(selectedFilter, "Bitmap (*.bmp)");
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_EQ(title, "Export");
    EXPECT_EQ(suffix, "bmp");
    ASSERT_TRUE(r.accepted);
    EXPECT_EQ(r.path, dir.file("new.csv"));
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(runner.dialogs().size(), 1u);
}

TEST(GuiQtFileDialog, CancelledDialogGivesNoPath)
{
    qt::QtFileDialogService service;
    ScopedFileDialogService installed(service);
    qt::ScopedDialogRunner runner([](QDialog& d) {
        d.reject();
        return d.result();
    });
    FileDialogRequest open;
    open.filter = "Document (*.zrd)|*.zrd||";
    const FileDialogResult r = PromptFileName(open);
    EXPECT_FALSE(r.accepted);
    EXPECT_TRUE(r.path.empty());
}

} // namespace
} // namespace plat
