// Reading the help pages as the help window shows them: a page's title, text, anchors and links,
// and the set of pages the search covers (a page and every local page its links reach).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace talverin {

struct HelpPage {
    bool read = false;     // the file could be read
    QString title;         // <title>, or the file name when the page has none
    QString text;          // the text the browser shows
    QStringList anchors;   // the names links and topics can scroll to
    QList<QUrl> links;     // links to local files, made absolute (with their fragment)
};

class HelpPages {
public:
    // The page at an absolute path, decoded by its charset (UTF-8 when it names none).
    static HelpPage Read(const QString& path);
    // The page and every existing local .htm/.html page its links reach, breadth first.
    static QStringList Reachable(const QString& first);
    // Of the pages, those whose text holds the text (case ignored), in their order.
    static QStringList Holding(const QStringList& pages, const QString& text);
};

} // namespace talverin
