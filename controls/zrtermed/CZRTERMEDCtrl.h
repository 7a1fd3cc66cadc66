// The terminal edit control: its properties (none persisted), its member table and the stock
// Refresh.
#pragma once

#include <skeleton/SkeletonControl.h>

class CZRTERMEDCtrl : public ctl::SkeletonControl {
public:
    explicit CZRTERMEDCtrl(ctl::ControlModule& module);

protected:
    comp::Result callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args) override;
};
