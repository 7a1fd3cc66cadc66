// The parameter editor control as its host reaches it: the members by dispatch id, the persisted
// ShowStyle, the window handles of tree and list, and the six events. Its window is ParamWindow.
#pragma once

#include "ParamHost.h"

#include <skeleton/SkeletonControl.h>
#include <zrparam/AccessRules.h>

#include <QPointer>

class ParamWindow;

class CZRPARAMCtrl : public ctl::SkeletonControl, public ParamHost {
public:
    explicit CZRPARAMCtrl(ctl::ControlModule& module);
    ~CZRPARAMCtrl() override;

    // ParamHost
    void fireOnParamChange(model::CZRParamClass* node) override;
    void fireQueryUpdate(model::CZRParamClass* node) override;
    bool fireCtrlHelp(ctl::HelpInfo& info) override;
    void fireItemSelect(bool listItem, int item, int status, model::CZRParamClass* node) override;
    void fireSetStrChange(const std::string& name, const std::string& text, int index,
                          model::CZRParamData* record) override;
    bool fireIsConnected() override;
    int showStyle() const override;
    void setShowStyle(int style) override;
    std::string helpFolder() const override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    comp::Result dispatch(const comp::MemberInfo& member, comp::InvokeKind kind,
                          std::span<const comp::Variant> args) override;
    comp::Result callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args) override;
    void propertyChanged(comp::DISPID id) override;
    void propertiesChanged() override;

private:
    comp::Result callWindowMethod(ParamWindow& w, comp::DISPID id, std::span<const comp::Variant> args);

    QPointer<ParamWindow> m_window;
    zrparam::EditAccess m_access;
    std::intptr_t m_treeHandle = 0;
    std::intptr_t m_listHandle = 0;
};
