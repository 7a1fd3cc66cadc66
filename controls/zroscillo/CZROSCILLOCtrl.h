// The oscilloscope control: its properties (ChannelCount persisted) and its member table.
#pragma once

#include <skeleton/SkeletonControl.h>

class CZROSCILLOCtrl : public ctl::SkeletonControl {
public:
    explicit CZROSCILLOCtrl(ctl::ControlModule& module);
};
