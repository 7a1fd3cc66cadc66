// Creates a screen's hosted controls from its template: each item by its class id, placed at its
// rectangle (dialog units of the form's font), loaded with its initial properties, its events
// routed to the screen's sink map. A form is made whole or not at all: when one control cannot
// be made, none is left behind and the error names that control.
#pragma once

#include "talverin/FormTemplates.h"

#include <QString>

#include <vector>

class QWidget;

namespace talverin {

class ControlSite;
class EventSinkMap;

struct FormBuildResult {
    QString error;           // empty on success
    int failedControlId = 0; // the control that could not be made
    std::vector<ControlSite*> sites;

    bool ok() const { return error.isEmpty(); }
};

FormBuildResult BuildForm(QWidget* form, const FormTemplate& tpl, const EventSinkMap* sinks = nullptr);
// By dialog id; an unknown id is an error.
FormBuildResult BuildForm(QWidget* form, int dialogId, const EventSinkMap* sinks = nullptr);

} // namespace talverin
