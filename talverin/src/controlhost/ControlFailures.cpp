#include "controlhost/ControlFailures.h"

#include "common/AppMessageBox.h"

#include <component/log.h>
#include <component/registry.h>
#include <controls/ids.h>
#include <model/CommandSupport.h>
#include <platform/paths.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace talverin {

namespace {

QString translate(const char* text)
{
    return QCoreApplication::translate("ControlFailures", text);
}

struct Named {
    const ctl::Identity* identity;
    const char* name;
};
constexpr Named kNames[] = {
    {&ctl::kZRPARAMIdentity, QT_TRANSLATE_NOOP("ControlFailures", "parameter editor")},
    {&ctl::kZRCN2Identity, QT_TRANSLATE_NOOP("ControlFailures", "CN2 pin row")},
    {&ctl::kZRSLIDERIdentity, QT_TRANSLATE_NOOP("ControlFailures", "slider")},
    {&ctl::kZROSCILLOIdentity, QT_TRANSLATE_NOOP("ControlFailures", "oscilloscope")},
    {&ctl::kZRTERMEDIdentity, QT_TRANSLATE_NOOP("ControlFailures", "terminal editor")},
};

const ctl::Identity* identityOf(std::string_view clsid)
{
    for (const Named& n : kNames)
        if (n.identity->clsid == clsid)
            return n.identity;
    return nullptr;
}

// Where the control's plug-in is put: in the plug-in folder, named after the control.
std::string usualPluginFile(std::string_view clsid)
{
    const ctl::Identity* id = identityOf(clsid);
    if (!id)
        return {};
    std::string file(id->name);
    std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::tolower(c); });
    return plat::JoinPath(plat::GetPluginFolder(), file + ".so");
}

// GUI thread only, as are the forms that report.
struct State {
    std::set<std::string> reported; // class ids told of
    QStringList pending;            // sentences for the next box
    std::set<int> calledMissing;    // control ids whose dropped calls were logged
};

State& state()
{
    static State s;
    return s;
}

void showPending()
{
    State& s = state();
    if (s.pending.isEmpty())
        return;
    const QString advice =
        s.pending.size() == 1
            ? translate("Rebuild the program or register the control with talverin-regcontrols.")
            : translate("Rebuild the program or register the controls with talverin-regcontrols.");
    const QString text = s.pending.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + advice;
    s.pending.clear();
    AppMessageBox(model::GetMainWindow(), text, translate("Controls"), plat::MB_OK | plat::MB_ICONWARNING);
}

} // namespace

QString ControlDisplayName(std::string_view clsid)
{
    for (const Named& n : kNames)
        if (n.identity->clsid == clsid)
            return translate(n.name);
    return QString::fromUtf8(clsid.data(), static_cast<int>(clsid.size()));
}

QString ControlFailureText(std::string_view clsid, const comp::CreateResult& failure)
{
    const QString name = ControlDisplayName(clsid);
    const QString file = QString::fromStdString(failure.file);
    const char* missing = QT_TRANSLATE_NOOP("ControlFailures", "The %1 control could not be loaded: %2 is missing.");
    switch (failure.problem) {
    case comp::CreateProblem::NotRegistered: {
        // With neither the file nor its entry, the file is what to bring back first.
        const std::string usual = usualPluginFile(clsid);
        if (!usual.empty() && !plat::FileExists(usual))
            return translate(missing).arg(name, QString::fromStdString(usual));
        return translate("The %1 control could not be loaded: it is not registered in %2.")
            .arg(name, QString::fromStdString(comp::Registry::defaultPath()));
    }
    case comp::CreateProblem::FileMissing:
        return translate(missing).arg(name, file);
    case comp::CreateProblem::CannotLoad:
        return translate("The %1 control could not be loaded: %2 cannot be loaded (%3).")
            .arg(name, file, QString::fromStdString(failure.detail));
    default:
        return translate("The %1 control could not be loaded: %2.").arg(name, QString::fromStdString(failure.error));
    }
}

void ReportControlFailure(std::string_view clsid, const comp::CreateResult& failure)
{
    State& s = state();
    if (!s.reported.insert(std::string(clsid)).second)
        return;
    const QString text = ControlFailureText(clsid, failure);
    comp::logLine(text.toStdString());
    s.pending.append(text);
    if (s.pending.size() == 1 && QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &showPending, Qt::QueuedConnection);
}

QWidget* PlaceMissingControlNote(QWidget* form, const QRect& rect, std::string_view clsid)
{
    const QString name = ControlDisplayName(clsid);
    const QString sentence = translate("The %1 control could not be loaded.").arg(name);
    auto* note = new QLabel(form);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    note->setFrameShape(QFrame::Box);
    note->setToolTip(sentence);
    // A place too small for the sentence (a slider's) gets the short form, cut to its width.
    const QFontMetrics metrics(note->font());
    const QRect inside = QRect(QPoint(), rect.size()).adjusted(2, 2, -2, -2);
    const QRect needed = metrics.boundingRect(inside, Qt::AlignCenter | Qt::TextWordWrap, sentence);
    if (needed.width() <= inside.width() && needed.height() <= inside.height())
        note->setText(sentence);
    else
        note->setText(metrics.elidedText(translate("%1 missing").arg(name), Qt::ElideRight, inside.width()));
    note->setGeometry(rect);
    note->show();
    return note;
}

void LogMissingControlCall(int controlId, int dispid)
{
    if (!state().calledMissing.insert(controlId).second)
        return;
    const std::string which = controlId ? "control " + std::to_string(controlId) : std::string("a control never made");
    comp::logLine(which + " is missing: its calls are dropped (the first was dispid " + std::to_string(dispid) + ")");
}

void ForgetControlFailures()
{
    state() = State{};
}

} // namespace talverin
