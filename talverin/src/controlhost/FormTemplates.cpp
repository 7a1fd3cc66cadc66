#include "controlhost/FormTemplates.h"

#include <controls/ids.h>
#include <model/CN2PinRecord.h>

#include <map>

namespace talverin {

namespace {

using comp::PropertyBag;
using comp::Variant;

FormTemplate oscilloscope()
{
    const auto scope = ctl::kZROSCILLOIdentity.clsid;
    const auto slider = ctl::kZRSLIDERIdentity.clsid;
    const PropertyBag vertical{{"ViewMode", Variant::fromI4(1)}};
    FormTemplate t{130, {}};
    t.items = {
        {1003, scope, {16, 10, 190, 120}, {}},
        {1126, slider, {13, 3, 196, 7}, {}},   // time cursors A and B, above the scope
        {1127, slider, {9, 7, 7, 126}, vertical}, // channel zero lines, left
        {1128, slider, {13, 130, 196, 7}, {}}, // trigger position, below
        {1129, slider, {206, 7, 7, 126}, vertical}, // channel marks and trigger level, right
        {1038, slider, {44, 164, 120, 10}, {}}, // horizontal position
        {1036, slider, {44, 178, 120, 10}, {}}, // time per division
        {1033, slider, {44, 192, 120, 10}, {}}, // samples per division
    };
    for (int ch = 0; ch < 4; ++ch) // channel scales
        t.items.push_back({1021 + ch, slider, {334, 140 + ch * 12, 22, 9}, {}});
    return t;
}

FormTemplate pinRows()
{
    FormTemplate t{132, {}};
    // Inputs 1-25 in the left column, outputs 26-50 in the right one. A pin the driver has no
    // I/O number for shows only its badge and an empty function.
    for (int pin = 1; pin <= 50; ++pin) {
        const int column = (pin - 1) / 25;
        const int row = (pin - 1) % 25;
        PropertyBag initial{{"Number", Variant::fromI4(pin)}};
        if (model::CN2PinRecord::PinToBitIndex(pin) < 0) {
            initial.set("ViewMode", Variant::fromI4(0));
            initial.set("Name", Variant::fromString(""));
        }
        t.items.push_back({2900 + pin, ctl::kZRCN2Identity.clsid, {7 + column * 170, 7 + row * 13, 160, 12},
                           std::move(initial)});
    }
    return t;
}

std::map<int, FormTemplate> makeTemplates()
{
    std::map<int, FormTemplate> all;
    all.emplace(130, oscilloscope());
    all.emplace(131, FormTemplate{131, {{1234, ctl::kZRPARAMIdentity.clsid, {6, 8, 327, 249}, {}}}});
    all.emplace(132, pinRows());
    all.emplace(180, FormTemplate{180, {{1234, ctl::kZRPARAMIdentity.clsid, {0, 0, 160, 208}, {}}}});
    all.emplace(183, FormTemplate{183, {{1005, ctl::kZRTERMEDIdentity.clsid, {7, 7, 320, 230}, {}}}});
    all.emplace(204, FormTemplate{204, {{1005, ctl::kZRTERMEDIdentity.clsid, {0, 0, 120, 200}, {}}}});
    return all;
}

} // namespace

const ControlItem* FormTemplate::item(int id) const
{
    for (const ControlItem& i : items)
        if (i.id == id)
            return &i;
    return nullptr;
}

const FormTemplate* FindFormTemplate(int dialogId)
{
    static const std::map<int, FormTemplate> templates = makeTemplates();
    auto it = templates.find(dialogId);
    return it == templates.end() ? nullptr : &it->second;
}

} // namespace talverin
