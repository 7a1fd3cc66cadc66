#include "platform/qt/window_bridge.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace plat;
using plat::qt::MessageEvent;
using plat::qt::WindowBridge;

namespace {

constexpr UINT WM_PING = WM_USER + 1;
constexpr UINT WM_ASK = WM_USER + 2;
constexpr UINT WM_COMM_COMMAND = WM_USER + 300;
constexpr UINT WM_COMM_MONITOR = WM_USER + 302;

// Ends a nested loop that never should have to run this long: the test then fails instead of
// hanging the suite.
constexpr int kSafetyMs = 10000;

// A widget that answers messages through its event() override, as a frame window would.
class MessageWidget : public QWidget {
public:
    std::vector<UINT> received;
    bool event(QEvent* e) override
    {
        if (e->type() == MessageEvent::eventType()) {
            auto* m = static_cast<MessageEvent*>(e);
            received.push_back(m->message);
            m->result = m->message == WM_ASK ? static_cast<LRESULT>(m->wParam) * 3 : 0;
            return true;
        }
        return QWidget::event(e);
    }
};

} // namespace

TEST(WindowBridgeGuiTest, PostedAndSentMessagesArriveAsEventsInTheEventLoop)
{
    MessageWidget widget;
    WindowBridge bridge(&widget);
    ASSERT_TRUE(IsWindow(bridge.hwnd()));
    EXPECT_EQ(bridge.target(), &widget);

    std::atomic<LRESULT> answer{0};
    std::thread worker([&] {
        PostMessage(bridge.hwnd(), WM_PING, 0, 0);
        answer = SendMessage(bridge.hwnd(), WM_ASK, 14, 0);
        PostMessage(bridge.hwnd(), WM_PING, 1, 0);
    });
    QEventLoop loop;
    QTimer::singleShot(kSafetyMs, &loop, [&] { loop.exit(1); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (widget.received.size() == 3)
            loop.exit(0);
    });
    poll.start(1);
    EXPECT_EQ(loop.exec(), 0);
    worker.join();
    EXPECT_EQ(answer.load(), 42);
    // A pending send is serviced before posted messages are retrieved, so WM_ASK may overtake
    // the first WM_PING; the posted ones keep their order.
    ASSERT_EQ(widget.received.size(), 3u);
    EXPECT_EQ(std::count(widget.received.begin(), widget.received.end(), WM_ASK), 1);
}

TEST(WindowBridgeGuiTest, DeliversInsideANestedDialogExec)
{
    QWidget owner;
    QDialog dialog(&owner);
    bool inDialog = false;
    std::vector<UINT> seenInDialog;
    WindowBridge bridge(&owner, [&](HWND, UINT m, WPARAM w, LPARAM) -> LRESULT {
        if (inDialog)
            seenInDialog.push_back(m);
        if (seenInDialog.size() == 2)
            QTimer::singleShot(0, &dialog, &QDialog::accept);
        return m == WM_ASK ? static_cast<LRESULT>(w) + 1 : 0;
    });

    std::atomic<LRESULT> answer{0};
    std::thread worker;
    QTimer::singleShot(0, &dialog, [&] {
        // The dialog's own loop is running now.
        inDialog = true;
        worker = std::thread([&] {
            PostMessage(bridge.hwnd(), WM_PING, 0, 0);
            answer = SendMessage(bridge.hwnd(), WM_ASK, 9, 0);
        });
    });
    QTimer::singleShot(kSafetyMs, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    inDialog = false;
    worker.join();
    EXPECT_EQ(answer.load(), 10);
    std::sort(seenInDialog.begin(), seenInDialog.end()); // the send may overtake the post
    EXPECT_EQ(seenInDialog, (std::vector<UINT>{WM_PING, WM_ASK}));
}

TEST(WindowBridgeGuiTest, DeliversInsideAMessageBoxExec)
{
    QWidget owner;
    QMessageBox box(QMessageBox::Warning, "Talverin", "Waiting", QMessageBox::Ok | QMessageBox::Cancel,
                    &owner);
    int handled = 0;
    WindowBridge bridge(&owner, [&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
        if (box.isVisible() && ++handled == 2)
            QTimer::singleShot(0, &box, [&] { box.done(QMessageBox::Ok); });
        return 0;
    });
    std::thread worker;
    QTimer::singleShot(0, &box, [&] {
        worker = std::thread([&] {
            SendMessage(bridge.hwnd(), WM_PING, 0, 0);
            PostMessage(bridge.hwnd(), WM_PING, 0, 0);
        });
    });
    QTimer::singleShot(kSafetyMs, &box, [&] { box.done(QMessageBox::Cancel); });
    EXPECT_EQ(box.exec(), QMessageBox::Ok);
    worker.join();
    EXPECT_EQ(handled, 2);
}

// A handler that opens a modal dialog (an error report, say) keeps receiving the handle's later
// posted and sent messages inside that dialog's loop.
TEST(WindowBridgeGuiTest, HandlerInsideAModalLoopStillReceivesMessages)
{
    QWidget owner;
    std::vector<UINT> order;
    int depth = 0;
    std::vector<int> depthAt;
    std::thread worker;
    QDialog* open = nullptr;
    WindowBridge bridge(&owner, [&](HWND h, UINT m, WPARAM, LPARAM) -> LRESULT {
        order.push_back(m);
        depthAt.push_back(depth);
        if (m == WM_PING) {
            QDialog dialog(&owner);
            open = &dialog;
            QTimer::singleShot(0, &dialog, [&worker, h] {
                worker = std::thread([h] {
                    SendMessage(h, WM_ASK, 0, 0);
                    PostMessage(h, WM_COMM_COMMAND, 0, 0);
                });
            });
            QTimer::singleShot(kSafetyMs, &dialog, &QDialog::reject);
            ++depth;
            const int r = dialog.exec();
            --depth;
            open = nullptr;
            return r;
        }
        if (m == WM_COMM_COMMAND && open)
            QTimer::singleShot(0, open, &QDialog::accept);
        return 0;
    });
    PostMessage(bridge.hwnd(), WM_PING, 0, 0);
    QEventLoop loop;
    QTimer::singleShot(kSafetyMs, &loop, [&] { loop.exit(1); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (order.size() == 3 && depth == 0)
            loop.exit(0);
    });
    poll.start(1);
    EXPECT_EQ(loop.exec(), 0);
    worker.join();
    EXPECT_EQ(order, (std::vector<UINT>{WM_PING, WM_ASK, WM_COMM_COMMAND}));
    EXPECT_EQ(depthAt, (std::vector<int>{0, 1, 1}));
}

// No Qt loop runs while the user-interface thread joins a worker that is sending to it: the
// platform's own wait must service the send.
TEST(WindowBridgeGuiTest, JoinOnTheQtThreadServicesSendsWithoutTheEventLoop)
{
    MessageWidget widget;
    WindowBridge bridge(&widget);
    Thread worker;
    std::atomic<LRESULT> answer{0};
    ASSERT_TRUE(worker.start([&] { answer = SendMessage(bridge.hwnd(), WM_ASK, 5, 0); }));
    EXPECT_TRUE(worker.join(INFINITE));
    EXPECT_EQ(answer.load(), 15);
    // The Qt wake-up posted for that send finds nothing left to do.
    QCoreApplication::processEvents();
    EXPECT_EQ(widget.received, (std::vector<UINT>{WM_ASK}));
}

TEST(WindowBridgeGuiTest, RangePumpLetsOnlyCommunicationMessagesThrough)
{
    std::vector<UINT> order;
    QWidget widget;
    WindowBridge bridge(&widget, [&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
        order.push_back(m);
        return 0;
    });
    std::thread([&] {
        PostMessage(bridge.hwnd(), WM_PING, 0, 0);
        PostMessage(bridge.hwnd(), WM_COMM_COMMAND, 0, 0);
        PostMessage(bridge.hwnd(), WM_ASK, 0, 0);
        PostMessage(bridge.hwnd(), WM_COMM_MONITOR, 0, 0);
    }).join();
    // A busy loop that dispatches one message of the range per step.
    EXPECT_EQ(PumpMessageRange(nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR), 1);
    EXPECT_EQ(PumpMessageRange(nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR), 1);
    EXPECT_EQ(PumpMessageRange(nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR), 0);
    EXPECT_EQ(order, (std::vector<UINT>{WM_COMM_COMMAND, WM_COMM_MONITOR}));
    // The rest reach the widget through the event loop, in posting order.
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<UINT>{WM_COMM_COMMAND, WM_COMM_MONITOR, WM_PING, WM_ASK}));
}

TEST(WindowBridgeGuiTest, HandleLookupAndDestruction)
{
    auto widget = std::make_unique<QWidget>();
    QObject plain;
    HWND hwnd = nullptr;
    HWND plainHwnd = nullptr;
    {
        WindowBridge first(widget.get());
        WindowBridge second(widget.get());
        WindowBridge forPlain(&plain);
        hwnd = first.hwnd();
        plainHwnd = forPlain.hwnd();
        EXPECT_EQ(plat::qt::WidgetFromHandle(hwnd), widget.get());
        EXPECT_EQ(plat::qt::WidgetFromHandle(second.hwnd()), widget.get());
        EXPECT_EQ(plat::qt::HandleFromObject(widget.get()), hwnd);
        EXPECT_EQ(plat::qt::WidgetFromHandle(plainHwnd), nullptr); // not a widget
        EXPECT_EQ(plat::qt::HandleFromObject(&plain), plainHwnd);
        PostMessage(hwnd, WM_PING, 0, 0); // still queued when the bridge goes
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, WM_PING, 0, 0));
    EXPECT_EQ(plat::qt::WidgetFromHandle(hwnd), nullptr);
    EXPECT_EQ(plat::qt::HandleFromObject(widget.get()), nullptr);
    QCoreApplication::processEvents(); // a wake-up for a dropped message is harmless
}

TEST(WindowBridgeGuiTest, TargetGoneBeforeItsBridgeAnswersZero)
{
    auto widget = std::make_unique<MessageWidget>();
    WindowBridge bridge(widget.get());
    widget.reset();
    EXPECT_EQ(SendMessage(bridge.hwnd(), WM_ASK, 2, 0), 0);
    EXPECT_EQ(plat::qt::WidgetFromHandle(bridge.hwnd()), nullptr);
}

TEST(WindowBridgeGuiTest, HandlerMayDestroyItsOwnBridge)
{
    auto widget = std::make_unique<QWidget>();
    std::unique_ptr<WindowBridge> bridge;
    int calls = 0;
    bridge = std::make_unique<WindowBridge>(widget.get(), [&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
        ++calls;
        bridge.reset(); // the last bridge of the thread goes away inside its own delivery
        return 0;
    });
    const HWND hwnd = bridge->hwnd();
    std::thread([&] {
        PostMessage(hwnd, WM_PING, 0, 0);
        PostMessage(hwnd, WM_PING, 1, 0);
    }).join();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    // A new bridge on this thread works again.
    MessageWidget again;
    WindowBridge next(&again);
    EXPECT_EQ(SendMessage(next.hwnd(), WM_ASK, 1, 0), 3);
}

// A bridge on a worker QThread: its messages arrive in that thread's loop, and WM_QUIT ends it.
TEST(WindowBridgeGuiTest, BridgeOnAWorkerQtThreadAndQuit)
{
    class Worker : public QThread {
    public:
        std::atomic<HWND> hwnd{nullptr};
        std::atomic<bool> rightThread{false};
        std::atomic<int> code{-1}; // Qt is not instrumented: QThread::wait() is no visible fence

    protected:
        void run() override
        {
            QObject target;
            WindowBridge bridge(&target, [this](HWND, UINT m, WPARAM w, LPARAM) -> LRESULT {
                rightThread = QThread::currentThread() == this;
                if (m == WM_PING)
                    PostQuitMessage(static_cast<int>(w));
                return 0;
            });
            hwnd = bridge.hwnd();
            code = exec();
        }
    };
    Worker worker;
    worker.start();
    while (!worker.hwnd.load())
        QThread::yieldCurrentThread();
    EXPECT_TRUE(PostMessage(worker.hwnd.load(), WM_PING, 9, 0));
    ASSERT_TRUE(worker.wait(kSafetyMs));
    EXPECT_EQ(worker.code.load(), 9);
    EXPECT_TRUE(worker.rightThread.load());
    EXPECT_FALSE(IsWindow(worker.hwnd.load()));
}

TEST(WindowBridgeGuiTest, DestroyedOnAnotherThreadDetachesOnItsMakersThread)
{
    MessageWidget keep, gone;
    WindowBridge stays(&keep);
    auto* bridge = new WindowBridge(&gone);
    const HWND hwnd = bridge->hwnd();
    std::thread([bridge] { delete bridge; }).join();
    EXPECT_FALSE(IsWindow(hwnd));
    QCoreApplication::processEvents(); // the hand-over runs here
    PostMessage(stays.hwnd(), WM_PING, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(keep.received, (std::vector<UINT>{WM_PING}));
    // The last bridge of the thread going the same way leaves a clean slate for the next one.
    auto* last = new WindowBridge(&gone);
    std::thread([last] { delete last; }).join();
    QCoreApplication::processEvents();
    MessageWidget again;
    WindowBridge fresh(&again);
    PostMessage(fresh.hwnd(), WM_PING, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(again.received, (std::vector<UINT>{WM_PING}));
}
