#include "PrintTexts.h"

#include "ReportLanguage.h"

#include <QFile>
#include <QRegularExpression>

namespace zrreport {

PrintTexts PrintTexts::FromHtml(const QString& html)
{
    PrintTexts texts;
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (const auto match = title.match(html); match.hasMatch()) texts.previewTitle = match.captured(1).trimmed();

    static const QRegularExpression meta(QStringLiteral("<meta\\s+name=\"([^\"]*)\"\\s+content=\"([^\"]*)\"\\s*/?>"),
                                         QRegularExpression::CaseInsensitiveOption);
    const struct {
        const char* name;
        QString PrintTexts::*text;
    } fields[] = {
        {"job", &PrintTexts::jobName},
        {"print", &PrintTexts::printButton},
        {"page-setup", &PrintTexts::pageSetupButton},
        {"close", &PrintTexts::closeButton},
        {"start-after-end", &PrintTexts::startAfterEnd},
        {"start-after-count", &PrintTexts::startAfterCount},
        {"end-after-count", &PrintTexts::endAfterCount},
    };
    for (auto it = meta.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        for (const auto& field : fields)
            if (match.captured(1).compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0)
                texts.*field.text = match.captured(2);
    }
    return texts;
}

PrintTexts PrintTexts::Load(const QString& templateUrl)
{
    QString resource = PrintTemplateResource(templateUrl);
    if (resource.isEmpty()) resource = PrintTemplateResource(PrintTemplateUrl(plat::LANG_ENGLISH_US));
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return FromHtml(QString::fromUtf8(file.readAll()));
}

bool PrintTexts::complete() const
{
    for (const QString* text : {&jobName, &previewTitle, &printButton, &pageSetupButton, &closeButton,
                                &startAfterEnd, &startAfterCount, &endAfterCount})
        if (text->isEmpty()) return false;
    return true;
}

} // namespace zrreport
