// The parameter editor control: its properties (ShowStyle persisted) and its member table.
#pragma once

#include <skeleton/SkeletonControl.h>

class CZRPARAMCtrl : public ctl::SkeletonControl {
public:
    explicit CZRPARAMCtrl(ctl::ControlModule& module);
};
