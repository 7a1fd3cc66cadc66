// What the editor's window asks of its control object: the host's events and the properties
// the host sets.
#pragma once

#include <controls/HelpInfo.h>
#include <model/ZRParamClass.h>
#include <model/ZRParamData.h>

#include <string>

class ParamHost {
public:
    virtual ~ParamHost() = default;

    virtual void fireOnParamChange(model::CZRParamClass* node) = 0;
    virtual void fireQueryUpdate(model::CZRParamClass* node) = 0;
    // True when the host says it handled the help request.
    virtual bool fireCtrlHelp(ctl::HelpInfo& info) = 0;
    virtual void fireItemSelect(bool listItem, int item, int status, model::CZRParamClass* node) = 0;
    virtual void fireSetStrChange(const std::string& name, const std::string& text, int index,
                                  model::CZRParamData* record) = 0;
    // The host's answer; false when it gives none.
    virtual bool fireIsConnected() = 0;

    virtual int showStyle() const = 0;
    virtual void setShowStyle(int style) = 0; // without the change notification
    virtual std::string helpFolder() const = 0;
};
