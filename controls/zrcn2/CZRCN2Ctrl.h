// The CN2 pin row control: its properties (all persisted) and its member table.
#pragma once

#include <skeleton/SkeletonControl.h>

class CZRCN2Ctrl : public ctl::SkeletonControl {
public:
    explicit CZRCN2Ctrl(ctl::ControlModule& module);
};
