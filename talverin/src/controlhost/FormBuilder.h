// Creates a screen's hosted controls from its template: each item by its class id, placed at its
// rectangle (dialog units of the form's font), loaded with its initial properties, its events
// routed to the screen's sink map. A control that cannot be made is reported to the user once
// (ControlFailures.h) and a plain note takes its place; the others are made, and the error names
// the first control that failed.
#pragma once

#include "controlhost/FormTemplates.h"

#include <QString>

#include <vector>

class QWidget;

namespace talverin {

class ControlSite;
class EventSinkMap;

struct FormBuildResult {
    QString error;           // empty on success
    int failedControlId = 0; // the first control that could not be made
    std::vector<ControlSite*> sites; // the controls that were made

    bool ok() const { return error.isEmpty(); }
};

FormBuildResult BuildForm(QWidget* form, const FormTemplate& tpl, const EventSinkMap* sinks = nullptr);
// By dialog id; an unknown id is an error.
FormBuildResult BuildForm(QWidget* form, int dialogId, const EventSinkMap* sinks = nullptr);

} // namespace talverin
