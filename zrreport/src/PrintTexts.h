// The texts of one print template (resources ZRREPORTE.htm and ZRREPORTJ.htm): the print job's
// and the preview's names, the preview bar's buttons and the page range messages. The template
// holds them as <title> and <meta name="..." content="..."> elements.
#pragma once

#include <QString>

namespace zrreport {

struct PrintTexts {
    QString jobName;          // job and document name
    QString previewTitle;     // the preview window's title
    QString printButton;      // "Print..."
    QString pageSetupButton;  // "Page Setup..."
    QString closeButton;      // "Close"
    QString startAfterEnd;    // error: the range starts after it ends
    QString startAfterCount;  // error: the range starts after the last page
    QString endAfterCount;    // warning: the range ends after the last page (cut, printing goes on)

    // The texts of a template's HTML; a text the template lacks stays empty.
    static PrintTexts FromHtml(const QString& html);
    // The template that an address names (PrintTemplateResource); the English one for an address
    // that names none.
    static PrintTexts Load(const QString& templateUrl);

    bool complete() const;
};

} // namespace zrreport
