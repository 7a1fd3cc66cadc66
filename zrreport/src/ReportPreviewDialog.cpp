#include "ReportPreviewDialog.h"

#include "ReportPrinter.h"

#include <QHBoxLayout>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zrreport {

namespace {

constexpr int kBarHeight = 30;
const QColor kBarColour(0xC0, 0xC0, 0xC0); // silver

} // namespace

ReportPreviewDialog::ReportPreviewDialog(ReportPrinter& printer, const QTextDocument& document, QWidget* parent)
    : QDialog(parent), m_printer(printer), m_document(document)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(printer.texts().previewTitle);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("PreviewBar"));
    bar->setFixedHeight(kBarHeight);
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, kBarColour);
    bar->setPalette(palette);
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(4, 2, 4, 2);
    m_print = new QPushButton(printer.texts().printButton, bar);
    m_pageSetup = new QPushButton(printer.texts().pageSetupButton, bar);
    m_close = new QPushButton(printer.texts().closeButton, bar);
    m_print->setObjectName(QStringLiteral("Print"));
    m_pageSetup->setObjectName(QStringLiteral("PageSetup"));
    m_close->setObjectName(QStringLiteral("Close"));
    for (QPushButton* button : {m_print, m_pageSetup, m_close}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    m_pages = new QPrintPreviewWidget(&printer.printer(), this);
    m_pages->setObjectName(QStringLiteral("Pages"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_pages, 1);
    resize(800, 900);

    connect(m_pages, &QPrintPreviewWidget::paintRequested, this, &ReportPreviewDialog::paintPages);
    connect(m_print, &QPushButton::clicked, this, &ReportPreviewDialog::onPrint);
    connect(m_pageSetup, &QPushButton::clicked, this, &ReportPreviewDialog::onPageSetup);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportPreviewDialog::paintPages(QPrinter* printer)
{
    // The preview shows every page, whatever range the last print dialog chose.
    const QPrinter::PrintRange savedRange = printer->printRange();
    const int savedFrom = printer->fromPage();
    const int savedTo = printer->toPage();
    printer->setPrintRange(QPrinter::AllPages);
    printer->setFromTo(0, 0);
    m_printer.paginate(m_document)->print(printer);
    printer->setPrintRange(savedRange);
    printer->setFromTo(savedFrom, savedTo);
}

void ReportPreviewDialog::onPrint() { m_printer.print(m_document, this); }

void ReportPreviewDialog::onPageSetup()
{
    if (m_printer.pageSetup(this)) m_pages->updatePreview();
}

} // namespace zrreport
