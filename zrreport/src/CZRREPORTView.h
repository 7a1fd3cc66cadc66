// The report view: the report file in a QTextBrowser, printed and previewed through the print
// template chosen by the language. Loading is deferred to the event loop, as a browser's
// navigation is; a print or preview asked for while the file is still loading waits for the
// document to complete and runs then.
#pragma once

#include "ReportPrinter.h"

#include <platform/types.h>

#include <QTextBrowser>

#include <functional>

class QPrinter;

namespace zrreport {

class CZRREPORTView : public QTextBrowser {
public:
    CZRREPORTView(plat::LANGID language, QPrinter& printer, QWidget* parent = nullptr);

    // Navigates to the file (an empty path shows a blank page).
    void OnInitialUpdate(const QString& pathName);
    void OnFilePrint();
    void OnFilePrintPreview();

    bool busy() const { return m_busy; }
    bool pendingPrint() const { return m_pendingPrint; }
    bool pendingPreview() const { return m_pendingPreview; }
    const QString& printTemplateUrl() const { return m_printTemplateUrl; }
    const PrintTexts& printTexts() const { return m_printTexts; }

    // Told once a print has ended (sent, cancelled, stopped or failed).
    std::function<void(ReportPrinter::Outcome)> onPrintEnded;

private:
    void OnDocumentComplete();

    QPrinter& m_printer;
    QString m_printTemplateUrl;
    PrintTexts m_printTexts;
    bool m_busy = false;
    bool m_pendingPrint = false;
    bool m_pendingPreview = false;
};

} // namespace zrreport
