#include "ReportLanguage.h"

#include <platform/language.h>
#include <platform/paths.h>
#include <platform/profile.h>

#include <cstdlib>

namespace zrreport {

namespace {

constexpr char kUrlPrefix[] = "res://ZRREPORT.exe/";
constexpr char kEnglishTemplate[] = "ZRREPORTE.htm";
constexpr char kJapaneseTemplate[] = "ZRREPORTJ.htm";

} // namespace

plat::LANGID ReportLanguage(std::string_view langSetting, plat::LANGID systemLanguage)
{
    if (langSetting.empty()) return systemLanguage;
    const std::string text(langSetting);
    return static_cast<plat::LANGID>(std::strtol(text.c_str(), nullptr, 10));
}

plat::LANGID ReadReportLanguage(const std::string& programFolder)
{
    char lang[257] = {};
    const std::string settings = plat::JoinPath(programFolder, kSettingsFileName);
    plat::GetPrivateProfileString("Setting", "LANG", "", lang, sizeof lang, settings.c_str());
    return ReportLanguage(lang, plat::LanguageFromEnvironment());
}

QString PrintTemplateUrl(plat::LANGID language)
{
    return QString::fromLatin1(kUrlPrefix)
        + QString::fromLatin1(language == plat::LANG_JAPANESE ? kJapaneseTemplate : kEnglishTemplate);
}

QString PrintTemplateResource(const QString& url)
{
    const QString prefix = QString::fromLatin1(kUrlPrefix);
    if (!url.startsWith(prefix, Qt::CaseInsensitive)) return {};
    const QString name = url.mid(prefix.size());
    for (const char* known : {kEnglishTemplate, kJapaneseTemplate})
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return QStringLiteral(":/zrreport/") + QLatin1String(known);
    return {};
}

} // namespace zrreport
