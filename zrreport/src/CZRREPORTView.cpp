#include "CZRREPORTView.h"

#include "ReportLanguage.h"

#include <QTimer>
#include <QUrl>

namespace zrreport {

CZRREPORTView::CZRREPORTView(plat::LANGID language, QPrinter& printer, QWidget* parent)
    : QTextBrowser(parent),
      m_printer(printer),
      m_printTemplateUrl(PrintTemplateUrl(language)),
      m_printTexts(PrintTexts::Load(m_printTemplateUrl))
{
    setObjectName(QStringLiteral("ReportView"));
    // A report's links lead nowhere the viewer can follow; they are not opened.
    setOpenLinks(false);
}

void CZRREPORTView::OnInitialUpdate(const QString& pathName)
{
    m_busy = true;
    QTimer::singleShot(0, this, [this, pathName] {
        if (pathName.isEmpty())
            clear();
        else
            setSource(QUrl::fromLocalFile(pathName), QTextDocument::HtmlResource);
        m_busy = false;
        OnDocumentComplete();
    });
}

void CZRREPORTView::OnFilePrint()
{
    if (m_busy) {
        m_pendingPrint = true;
        return;
    }
    ReportPrinter printer(m_printer, m_printTexts);
    const ReportPrinter::Outcome outcome = printer.print(*document(), this);
    if (onPrintEnded) onPrintEnded(outcome);
}

void CZRREPORTView::OnFilePrintPreview()
{
    if (m_busy) {
        m_pendingPreview = true;
        return;
    }
    ReportPrinter(m_printer, m_printTexts).preview(*document(), this);
}

void CZRREPORTView::OnDocumentComplete()
{
    const bool print = m_pendingPrint;
    const bool preview = m_pendingPreview;
    m_pendingPrint = m_pendingPreview = false;
    if (print)
        OnFilePrint();
    else if (preview)
        OnFilePrintPreview();
}

} // namespace zrreport
