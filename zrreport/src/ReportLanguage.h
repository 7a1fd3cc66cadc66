// The viewer's language and its print template. The language comes from [Setting] LANG of the
// settings file beside the program (a decimal id), or from the system locale when LANG is empty;
// 1041 chooses the Japanese print template, anything else the English one.
#pragma once

#include <platform/types.h>

#include <QString>

#include <string>
#include <string_view>

namespace zrreport {

inline constexpr char kSettingsFileName[] = "Talverin.ini";

// A non-empty LANG by decimal conversion (no digits: 0), an empty one the system's language.
plat::LANGID ReportLanguage(std::string_view langSetting, plat::LANGID systemLanguage);
// [Setting] LANG of <programFolder>/Talverin.ini, or the system language (plat::LanguageFromEnvironment).
plat::LANGID ReadReportLanguage(const std::string& programFolder);

// The print template's address, kept in the original form: "res://ZRREPORT.exe/ZRREPORTJ.htm" for
// 1041, else "res://ZRREPORT.exe/ZRREPORTE.htm".
QString PrintTemplateUrl(plat::LANGID language);
// The Qt resource that a template address names (":/zrreport/ZRREPORTE.htm" ...); empty for an
// address that names none of the viewer's templates.
QString PrintTemplateResource(const QString& url);

} // namespace zrreport
