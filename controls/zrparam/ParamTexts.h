// The editor's user texts in its two languages (English and, for language 1041, Japanese): the
// column titles of its two list layouts, the items of its two context menus and its range box.
#pragma once

#include <platform/types.h>

#include <QString>
#include <QStringList>

// Menu resources and their command ids.
inline constexpr int IDR_LIST_MENU = 214;
inline constexpr int IDR_TREE_MENU = 215;
inline constexpr plat::UINT ID_COMMAND_HELP = 32778;
inline constexpr plat::UINT ID_EDIT_VALUE = 32779;
inline constexpr plat::UINT ID_SET_GROUP_DEFAULT = 32782;
inline constexpr plat::UINT ID_REFRESH_GROUP = 32783;
inline constexpr plat::UINT ID_REFRESH_ITEMS = 32784;
inline constexpr plat::UINT ID_SET_DEFAULT = 32785;

class ParamTexts {
public:
    // Table 1: the parameter layout (five columns); table 2: the short layout (three).
    static QStringList columnTitles(int table, plat::LANGID language);
    // What every column is wider than its title ("ZZ", or two Japanese characters).
    static QString widthPad(plat::LANGID language);
    // The item text of a menu command ("" for an unknown id).
    static QString menuText(plat::UINT command, plat::LANGID language);
    // The commands of a menu in order, 0 for a separator.
    static std::vector<plat::UINT> menuItems(int menu);
    // The box that refuses a typed number outside the range: its text (the bounds with the
    // record's decimals, at least one) and caption.
    static QString rangeErrorText(const QString& name, double minimum, double maximum, int decimals,
                                  plat::LANGID language);
    static QString rangeErrorCaption(plat::LANGID language);
    // The step popup's middle button, back to the default value.
    static QString resetCaption(plat::LANGID language);
};
