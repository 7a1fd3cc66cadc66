// Loaded into the real program by QT_QPA_GENERIC_PLUGINS=talverinprobe: answers every message box
// (printing its text), opens the five screens by their View commands (ids 32775-32779), prints
// the type of every widget (as the compiler names it) and ends the process.
#include <QAction>
#include <QApplication>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <typeinfo>

namespace {

class Probe : public QObject {
public:
    // Polled, so that it also runs inside the nested loops of the program's boxes.
    Probe() { m_timer.callOnTimeout(this, &Probe::step); m_timer.start(20); }

private:
    void step()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::printf("probe: box: %s\n", qPrintable(box->text().replace('\n', ' ')));
            return box->reject();
        }
        QAction* view = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            view = view ? view : w->findChild<QAction*>(QString::number(32775 + m_next));
        if (m_busy || (m_next < 5 && !view))
            return;
        if (m_next++ < 5) {
            m_busy = true;
            view->trigger();
            m_busy = false;
            return;
        }
        for (QWidget* w : QApplication::allWidgets())
            std::printf("probe: widget %s\n", typeid(*w).name());
        std::fflush(stdout);
        std::_Exit(0);
    }

    QTimer m_timer;
    int m_next = 0;
    bool m_busy = false;
};

} // namespace

class StartupProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startup_probe.json")

public:
    QObject* create(const QString&, const QString&) override { return new Probe; }
};

#include "StartupProbe.moc"
