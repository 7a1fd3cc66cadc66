// Printing and previewing the shown report on the viewer's printer, with the texts of the chosen
// print template. The report is laid out on the printer's pages (its paint rectangle, inside the
// margins) without header or footer. Every dialog runs through plat::qt::RunModal and every box
// through the message box seam.
//
// Test hook: when the environment variable ZRREPORT_TEST_PDF names a file, the print dialog is
// not shown; it counts as confirmed for all pages, printing into that PDF file.
#pragma once

#include "PrintTexts.h"

#include <memory>

class QPrinter;
class QTextDocument;
class QWidget;

namespace zrreport {

inline constexpr char kTestPdfVariable[] = "ZRREPORT_TEST_PDF";

class ReportPrinter {
public:
    enum class Outcome {
        Printed,   // the job was sent
        Cancelled, // the print dialog was cancelled
        Stopped,   // the page range stopped the job (the error was shown)
        Failed,    // the printer could not take the job (the error was shown)
    };

    ReportPrinter(QPrinter& printer, PrintTexts texts);

    // A copy of the document laid out on the printer's pages: its page size is the printer's
    // paint rectangle in the document's layout units, so the copy is paginated as the printer's
    // pages are and QTextDocument::print adds no page numbers.
    std::unique_ptr<QTextDocument> paginate(const QTextDocument& document) const;

    // The print dialog (or the test hook), the page range check, the job.
    Outcome print(const QTextDocument& document, QWidget* parent);
    // The pages without a dialog: all of them, or the printer's range after the check.
    Outcome printPages(const QTextDocument& document);
    // The preview window; returns when it is closed.
    void preview(const QTextDocument& document, QWidget* parent);
    // The printer's page setup dialog; true when confirmed.
    bool pageSetup(QWidget* parent);

    QPrinter& printer() { return m_printer; }
    const PrintTexts& texts() const { return m_texts; }

private:
    void warn(const QString& text) const;

    QPrinter& m_printer;
    PrintTexts m_texts;
};

} // namespace zrreport
