#include "controlhost/FormBuilder.h"

#include "controlhost/ControlFailures.h"
#include "controlhost/ControlSite.h"

#include <component/loader.h>
#include <component/log.h>
#include <controls/ids.h>
#include <platform/qt/dialog_units.h>

#include <QCoreApplication>
#include <QWidget>

#include <map>
#include <memory>

namespace talverin {

namespace {

QString className(std::string_view clsid)
{
    for (const ctl::Identity* id : ctl::kAllIdentities)
        if (id->clsid == clsid)
            return QString::fromUtf8(id->name.data(), static_cast<int>(id->name.size()));
    return QCoreApplication::translate("FormBuilder", "unknown control");
}

} // namespace

FormBuildResult BuildForm(QWidget* form, int dialogId, const EventSinkMap* sinks)
{
    if (const FormTemplate* tpl = FindFormTemplate(dialogId))
        return BuildForm(form, *tpl, sinks);
    FormBuildResult r;
    r.error = QCoreApplication::translate("FormBuilder", "Dialog %1 has no control template.").arg(dialogId);
    comp::logLine(r.error.toStdString());
    return r;
}

FormBuildResult BuildForm(QWidget* form, const FormTemplate& tpl, const EventSinkMap* sinks)
{
    FormBuildResult r;
    if (!form) {
        r.error = QCoreApplication::translate("FormBuilder", "Dialog %1 has no window to hold its controls.")
                      .arg(tpl.dialogId);
        comp::logLine(r.error.toStdString());
        return r;
    }
    // One attempt per class: the items of a class that failed share its failure.
    std::map<std::string_view, std::string> failed;
    for (const ControlItem& item : tpl.items) {
        const QRect rect = plat::qt::MapDialogRect(item.dialogRect, form->font());
        std::unique_ptr<comp::Control> control;
        auto earlier = failed.find(item.clsid);
        if (earlier == failed.end()) {
            comp::CreateResult made = comp::Loader::instance().create(item.clsid);
            if (made.ok() && !item.initial.empty() && comp::FAILED(made.control->loadProperties(item.initial))) {
                made.control.reset();
                made.problem = comp::CreateProblem::BadPlugin;
                made.error = "its initial properties do not fit it";
            }
            if (made.ok()) {
                control = std::move(made.control);
            } else {
                ReportControlFailure(item.clsid, made);
                earlier = failed.emplace(item.clsid, made.error).first;
            }
        }
        if (!control) {
            // The screen keeps every control that could be made; a note stands in for the others.
            PlaceMissingControlNote(form, rect, item.clsid);
            if (r.ok()) {
                r.failedControlId = item.id;
                r.error = QCoreApplication::translate("FormBuilder",
                                                      "Control %1 (%2 %3) of dialog %4 cannot be created: %5")
                              .arg(item.id)
                              .arg(className(item.clsid),
                                   QString::fromUtf8(item.clsid.data(), static_cast<int>(item.clsid.size())))
                              .arg(tpl.dialogId)
                              .arg(QString::fromStdString(earlier->second));
            }
            continue;
        }
        auto* site = new ControlSite(form, item.id, std::move(control));
        site->place(rect);
        site->setEventSinkMap(sinks);
        site->show();
        r.sites.push_back(site);
    }
    return r;
}

} // namespace talverin
