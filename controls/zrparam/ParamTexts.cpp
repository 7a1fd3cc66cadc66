#include "ParamTexts.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

bool japanese(plat::LANGID language)
{
    return language == plat::LANG_JAPANESE;
}

QString tr(const char* text)
{
    return QCoreApplication::translate("ZRPARAM", text);
}

} // namespace

QStringList ParamTexts::columnTitles(int table, plat::LANGID language)
{
    if (japanese(language)) {
        if (table == 2)
            return {QStringLiteral(u"コマンド"), QStringLiteral(u"範囲"), QStringLiteral(u"名称")};
        return {QStringLiteral(u"コマンド"), QStringLiteral(u"範囲"), QStringLiteral(u"設定値"),
                QStringLiteral(u"単位"), QStringLiteral(u"名称")};
    }
    if (table == 2)
        return {tr("Command"), tr("Range"), tr("Name")};
    return {tr("Command"), tr("Range"), tr("Set value"), tr("Unit"), tr("Name")};
}

QString ParamTexts::widthPad(plat::LANGID language)
{
    return japanese(language) ? QStringLiteral(u"漢字") : QStringLiteral("ZZ");
}

QString ParamTexts::menuText(plat::UINT command, plat::LANGID language)
{
    const bool ja = japanese(language);
    switch (command) {
    case ID_EDIT_VALUE: return ja ? QStringLiteral(u"編集(&E)") : tr("&Edit");
    case ID_SET_DEFAULT:
    case ID_SET_GROUP_DEFAULT: return ja ? QStringLiteral(u"初期値に戻す(&S)") : tr("&Set to default");
    // The list menu's item is spelled so in the menu the hosts' users know.
    case ID_REFRESH_ITEMS: return ja ? QStringLiteral(u"再読込(&R)") : tr("&Reftesh");
    case ID_REFRESH_GROUP: return ja ? QStringLiteral(u"再読込(&R)") : tr("&Refresh");
    case ID_COMMAND_HELP: return ja ? QStringLiteral(u"コマンドヘルプ(&H)") : tr("Command &Help");
    default: return {};
    }
}

std::vector<plat::UINT> ParamTexts::menuItems(int menu)
{
    if (menu == IDR_TREE_MENU)
        return {ID_SET_GROUP_DEFAULT, ID_REFRESH_GROUP, 0, ID_COMMAND_HELP};
    return {ID_EDIT_VALUE, ID_SET_DEFAULT, ID_REFRESH_ITEMS, 0, ID_COMMAND_HELP};
}

QString ParamTexts::rangeErrorText(const QString& name, double minimum, double maximum, int decimals,
                                   plat::LANGID language)
{
    // One decimal at least, and never fewer than the value has: "through 100.0" would name a
    // value that is itself refused for a range ending at 99.99.
    const int digits = std::max(decimals, 1);
    const QString low = QString::number(minimum, 'f', digits);
    const QString high = QString::number(maximum, 'f', digits);
    if (japanese(language))
        return QStringLiteral(u"%1 の設定が範囲外です。\n設定範囲は %2 から %3 です。").arg(name, low, high);
    return tr("%1 setting is out of range.\nSetting range is from %2 through %3.").arg(name, low, high);
}

QString ParamTexts::rangeErrorCaption(plat::LANGID language)
{
    return japanese(language) ? QStringLiteral(u"範囲エラー") : tr("Range error");
}

QString ParamTexts::resetCaption(plat::LANGID language)
{
    return japanese(language) ? QStringLiteral(u"リセット") : tr("Reset");
}
