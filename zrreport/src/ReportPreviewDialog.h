// The print preview: a bar with "Print...", "Page Setup..." and "Close" above the report's pages,
// which fill the rest of the window and follow its size. The texts are the print template's.
#pragma once

#include <QDialog>

class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QTextDocument;

namespace zrreport {

class ReportPrinter;

class ReportPreviewDialog : public QDialog {
public:
    ReportPreviewDialog(ReportPrinter& printer, const QTextDocument& document, QWidget* parent = nullptr);

    QPrintPreviewWidget* pages() const { return m_pages; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* pageSetupButton() const { return m_pageSetup; }
    QPushButton* closeButton() const { return m_close; }

private:
    void paintPages(QPrinter* printer);
    void onPrint();
    void onPageSetup();

    ReportPrinter& m_printer;
    const QTextDocument& m_document;
    QPrintPreviewWidget* m_pages = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_pageSetup = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace zrreport
