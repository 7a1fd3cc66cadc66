// The slider control: its properties (four persisted) and its member table.
#pragma once

#include <skeleton/SkeletonControl.h>

class CZRSLIDERCtrl : public ctl::SkeletonControl {
public:
    explicit CZRSLIDERCtrl(ctl::ControlModule& module);
};
