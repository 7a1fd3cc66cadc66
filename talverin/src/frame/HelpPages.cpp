#include "frame/HelpPages.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

namespace talverin {

HelpPage HelpPages::Read(const QString& path)
{
    HelpPage page;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return page;
    const QByteArray bytes = file.readAll();
    // As the browser decodes it: the charset the page names, else UTF-8.
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    QTextDocument document;
    document.setHtml(decoder.decode(bytes));
    page.read = true;
    page.text = document.toPlainText();
    page.title = document.metaInformation(QTextDocument::DocumentTitle).trimmed();
    if (page.title.isEmpty())
        page.title = QFileInfo(path).fileName();
    const QUrl base = QUrl::fromLocalFile(path);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            page.anchors += format.anchorNames();
            const QString href = format.anchorHref();
            if (href.isEmpty())
                continue;
            const QUrl target = base.resolved(QUrl(href));
            if (target.isLocalFile())
                page.links += target;
        }
    }
    return page;
}

QStringList HelpPages::Reachable(const QString& first)
{
    QStringList pages;
    if (!QFileInfo(first).isFile())
        return pages;
    pages += QFileInfo(first).absoluteFilePath();
    QSet<QString> seen(pages.begin(), pages.end());
    for (qsizetype i = 0; i < pages.size(); ++i) {
        for (const QUrl& link : Read(pages[i]).links) {
            const QFileInfo target(link.toLocalFile());
            const QString suffix = target.suffix().toLower();
            if ((suffix != QLatin1String("htm") && suffix != QLatin1String("html")) || !target.isFile())
                continue;
            const QString path = target.absoluteFilePath();
            if (!seen.contains(path)) {
                seen.insert(path);
                pages += path;
            }
        }
    }
    return pages;
}

QStringList HelpPages::Holding(const QStringList& pages, const QString& text)
{
    QStringList holding;
    for (const QString& page : pages) {
        if (Read(page).text.contains(text, Qt::CaseInsensitive))
            holding += page;
    }
    return holding;
}

} // namespace talverin
