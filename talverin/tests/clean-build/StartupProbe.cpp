// Loaded into the real program through Qt's generic plug-in variable (QT_QPA_GENERIC_PLUGINS=
// talverinprobe): it answers every message box, printing its text, opens the five screens by
// their View commands, prints the type of every widget and ends the process.
#include <QAction>
#include <QApplication>
#include <QGenericPlugin>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <typeinfo>

namespace {

const char* const kScreens[] = {"32775", "32776", "32777", "32778", "32779"}; // View > Ctrl+1 ... Ctrl+5

class Probe : public QObject {
public:
    Probe()
    {
        // Polled: the steps must also run inside the nested loops of the program's boxes.
        m_timer.callOnTimeout(this, &Probe::step);
        m_timer.start(20);
    }

private:
    void step()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::printf("probe: box: %s\n", qPrintable(box->text().replace('\n', ' ')));
            box->reject();
            return;
        }
        if (m_busy)
            return;
        QMainWindow* frame = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible())
                frame = main;
        if (!frame)
            return;
        if (m_next < std::size(kScreens)) {
            QAction* view = frame->findChild<QAction*>(kScreens[m_next++]);
            std::printf("probe: screen %s%s\n", view ? qPrintable(view->text()) : "missing",
                        view && view->isEnabled() ? "" : " (disabled)");
            m_busy = true;
            if (view)
                view->trigger();
            m_busy = false;
            return;
        }
        std::set<std::string> types;
        for (QWidget* w : QApplication::allWidgets()) {
            char* name = abi::__cxa_demangle(typeid(*w).name(), nullptr, nullptr, nullptr);
            types.insert(name ? name : typeid(*w).name());
            std::free(name);
        }
        for (const std::string& t : types)
            std::printf("probe: widget %s\n", t.c_str());
        std::fflush(stdout);
        std::_Exit(0);
    }

    QTimer m_timer;
    std::size_t m_next = 0;
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
