// The five controls as the tests walk them: class description, plug-in file, persisted defaults.
#pragma once

#include <controls/ZRCN2Members.h>
#include <controls/ZROSCILLOMembers.h>
#include <controls/ZRPARAMMembers.h>
#include <controls/ZRSLIDERMembers.h>
#include <controls/ZRTERMEDMembers.h>

#include <component/variant.h>

#include <string>
#include <utility>
#include <vector>

struct ControlCase {
    const ctl::Identity* identity;
    const comp::ClassInfo* info;
    const char* plugin;
    int positions; // dispatch positions 1..positions, one of them reserved
    // The persisted properties, in persistence order, with their defaults.
    std::vector<std::pair<std::string, comp::Variant>> persisted;
};

inline std::vector<ControlCase> allControls()
{
    using comp::Variant;
    return {
        {&ctl::kZRPARAMIdentity, &ctl::zrparam::kClass, ZRPARAM_PLUGIN, 35, {{"ShowStyle", Variant::fromI4(64)}}},
        {&ctl::kZRCN2Identity, &ctl::zrcn2::kClass, ZRCN2_PLUGIN, 25,
         {{"ViewMode", Variant::fromI4(1)},
          {"Number", Variant::fromI4(99)},
          {"Setten", Variant::fromString("")},
          {"Data", Variant::fromString("")},
          {"Name", Variant::fromString("")},
          {"BorderStyle", Variant::fromI2(0)},
          {"NumberBackColor", Variant::fromI4(0xF0F0F0)},
          {"BackColor", Variant::fromI4(static_cast<std::int32_t>(0x8000000Fu))},
          {"BorderColor", Variant::fromI4(0)},
          {"NumberTextColor", Variant::fromI4(0)},
          {"SettenBackColor", Variant::fromI4(0xE0E0E0)},
          {"SettenTextColor", Variant::fromI4(0)},
          {"NameBackColor", Variant::fromI4(0xFFFFFF)},
          {"DataBackColor", Variant::fromI4(0xFFFFFF)},
          {"NameTextColor", Variant::fromI4(0)},
          {"DataTextColor", Variant::fromI4(0)}}},
        {&ctl::kZRSLIDERIdentity, &ctl::zrslider::kClass, ZRSLIDER_PLUGIN, 31,
         {{"ViewMode", Variant::fromI4(0)},
          {"Arrow", Variant::fromI4(32)},
          {"BorderStyle", Variant::fromI2(1)},
          {"RangeBar", Variant::fromI4(0)}}},
        {&ctl::kZROSCILLOIdentity, &ctl::zroscillo::kClass, ZROSCILLO_PLUGIN, 24, {{"ChannelCount", Variant::fromI4(4)}}},
        {&ctl::kZRTERMEDIdentity, &ctl::zrtermed::kClass, ZRTERMED_PLUGIN, 9, {}},
    };
}

// A value of the given kind that differs from every default above.
inline comp::Variant sampleValue(comp::VarType type, int seed)
{
    switch (type) {
    case comp::VarType::Bool: return comp::Variant::fromBool(true);
    case comp::VarType::I2: return comp::Variant::fromI2(static_cast<std::int16_t>(300 + seed));
    case comp::VarType::I4: return comp::Variant::fromI4(0x123400 + seed);
    case comp::VarType::R4: return comp::Variant::fromR4(1.5f + static_cast<float>(seed));
    case comp::VarType::BStr: return comp::Variant::fromString("text " + std::to_string(seed));
    case comp::VarType::IntPtr: return comp::Variant::fromIntPtr(0x7f0000001000 + seed);
    case comp::VarType::Unknown: return comp::Variant::fromUnknown(nullptr);
    case comp::VarType::PtrI4: return comp::Variant::fromPtrI4(nullptr);
    case comp::VarType::PtrBool: return comp::Variant::fromPtrBool(nullptr);
    default: return {};
    }
}
