// Loaded into a program by startup_bench (LD_PRELOAD): when the program's first main window is
// exposed on its screen, writes the monotonic time in nanoseconds (8 bytes) to the file
// descriptor that TALVERIN_BENCH_MAPPED_FD names and ends the process at once. Without that
// variable it does nothing.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <cstdint>
#include <cstdlib>
#include <ctime>

#include <unistd.h>

namespace {

int g_fd = -1;

class MappedWatch : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose)
            return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window || !window->isExposed())
            return false;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->windowHandle() == window && top->inherits("QMainWindow"))
                report();
        }
        return false;
    }

private:
    static void report()
    {
        timespec now {};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const std::int64_t ns = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
        const ssize_t written = ::write(g_fd, &ns, sizeof ns);
        ::_exit(written == sizeof ns ? 0 : 1);
    }
};

void install()
{
    QCoreApplication::instance()->installEventFilter(new MappedWatch);
}

__attribute__((constructor)) void loaded()
{
    const char* fd = std::getenv("TALVERIN_BENCH_MAPPED_FD");
    if (!fd)
        return;
    g_fd = std::atoi(fd);
    qAddPreRoutine(install);
}

} // namespace
