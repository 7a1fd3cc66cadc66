#include "ReportPrinter.h"

#include "PageRange.h"
#include "ReportPreviewDialog.h"

#include <platform/message_box.h>
#include <platform/qt/modal_dialog.h>

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPaintDevice>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTextDocument>

namespace zrreport {

namespace {

// The resolution the document lays itself out in: its layout's paint device, else the screen's,
// as Qt's own text layout assumes.
qreal LayoutDpi(const QTextDocument& document)
{
    if (const QPaintDevice* device = document.documentLayout()->paintDevice()) return device->logicalDpiY();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->logicalDotsPerInchY();
    return 96.0;
}

} // namespace

ReportPrinter::ReportPrinter(QPrinter& printer, PrintTexts texts) : m_printer(printer), m_texts(std::move(texts)) {}

std::unique_ptr<QTextDocument> ReportPrinter::paginate(const QTextDocument& document) const
{
    std::unique_ptr<QTextDocument> pages(document.clone());
    const QSizeF points = m_printer.pageLayout().paintRect(QPageLayout::Point).size();
    const qreal scale = LayoutDpi(*pages) / 72.0;
    pages->setPageSize(QSizeF(points.width() * scale, points.height() * scale));
    return pages;
}

ReportPrinter::Outcome ReportPrinter::print(const QTextDocument& document, QWidget* parent)
{
    const QString testPdf = qEnvironmentVariable(kTestPdfVariable);
    if (!testPdf.isEmpty()) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(testPdf);
        m_printer.setPrintRange(QPrinter::AllPages);
        m_printer.setFromTo(0, 0);
    } else {
        QPrintDialog dialog(&m_printer, parent);
        dialog.setObjectName(QStringLiteral("PrintDialog"));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        if (plat::qt::RunModal(dialog) != QDialog::Accepted) return Outcome::Cancelled;
    }
    return printPages(document);
}

ReportPrinter::Outcome ReportPrinter::printPages(const QTextDocument& document)
{
    const std::unique_ptr<QTextDocument> pages = paginate(document);
    const bool ranged = m_printer.printRange() == QPrinter::PageRange;
    const PageRange range =
        PageRange::Check(ranged ? m_printer.fromPage() : 0, ranged ? m_printer.toPage() : 0, pages->pageCount());
    switch (range.message) {
    case PageRange::Message::StartAfterEnd: warn(m_texts.startAfterEnd); break;
    case PageRange::Message::StartAfterCount: warn(m_texts.startAfterCount); break;
    case PageRange::Message::EndAfterCount: warn(m_texts.endAfterCount); break;
    case PageRange::Message::None: break;
    }
    if (!range.print) return Outcome::Stopped;

    const QPrinter::PrintRange savedRange = m_printer.printRange();
    const int savedFrom = m_printer.fromPage();
    const int savedTo = m_printer.toPage();
    m_printer.setFromTo(range.from, range.to);
    m_printer.setDocName(m_texts.jobName);
    pages->setMetaInformation(QTextDocument::DocumentTitle, m_texts.jobName);
    pages->print(&m_printer);
    const bool failed = m_printer.printerState() == QPrinter::Error;
    // The dialog's choice stays the printer's, as the next print dialog shows it again.
    m_printer.setPrintRange(savedRange);
    m_printer.setFromTo(savedFrom, savedTo);
    if (failed) {
        warn(QCoreApplication::translate("zrreport::ReportPrinter", "The report could not be printed on %1.")
                         .arg(m_printer.outputFileName().isEmpty() ? m_printer.printerName()
                                                                    : m_printer.outputFileName()));
        return Outcome::Failed;
    }
    return Outcome::Printed;
}

void ReportPrinter::preview(const QTextDocument& document, QWidget* parent)
{
    ReportPreviewDialog dialog(*this, document, parent);
    plat::qt::RunModal(dialog);
}

bool ReportPrinter::pageSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&m_printer, parent);
    dialog.setObjectName(QStringLiteral("PageSetupDialog"));
    return plat::qt::RunModal(dialog) == QDialog::Accepted;
}

void ReportPrinter::warn(const QString& text) const
{
    // The box takes the modal dialog or the frame as its parent (CReportApp's owner resolver).
    plat::MessageBox(nullptr, text.toStdString(), m_texts.jobName.toStdString(),
                     plat::MB_OK | plat::MB_ICONWARNING);
}

} // namespace zrreport
