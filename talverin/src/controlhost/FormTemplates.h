// The hosted-control items of the screens' dialog templates: control id, class id, rectangle in
// dialog units and the initial property values the item carries.
#pragma once

#include <component/property_bag.h>

#include <QRect>

#include <string_view>
#include <vector>

namespace talverin {

struct ControlItem {
    int id;
    std::string_view clsid;
    QRect dialogRect;
    comp::PropertyBag initial;
};

struct FormTemplate {
    int dialogId;
    std::vector<ControlItem> items;

    const ControlItem* item(int id) const;
};

// Templates 130 (oscilloscope), 131 (parameters), 132 (I/O), 180 (command window),
// 183 (terminal) and 204 (terminal window); nullptr for any other id.
const FormTemplate* FindFormTemplate(int dialogId);

} // namespace talverin
