// The view's print and preview in process: dialogs answered through the modal seam, boxes through
// the scripted message boxes, the job printed into a PDF file.
#include "CZRREPORTView.h"
#include "ReportPreviewDialog.h"

#include <platform/message_box.h>
#include <platform/qt/modal_dialog.h>
#include <platform/qt/pump.h>

#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zrreport {
namespace {

class ViewerGui : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile file(m_dir.filePath("report131.html"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray html = "<html><body><h1>Parameters</h1><table border=1>";
        for (int i = 0; i < 200; ++i) html += "<tr><td>P" + QByteArray::number(i) + "</td><td>10.5</td></tr>";
        file.write(html + "</table></body></html>");
        file.close();
        m_view.OnInitialUpdate(file.fileName());
        m_view.onPrintEnded = [this](ReportPrinter::Outcome outcome) { m_outcomes.push_back(outcome); };
    }

    // The print dialog answered with a PDF file and a page range (0, 0: all pages).
    plat::qt::DialogRunner printAnswer(int from, int to, int result = QDialog::Accepted)
    {
        return [=, this](QDialog& dialog) {
            QPrinter* printer = dynamic_cast<QPrintDialog&>(dialog).printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf());
            printer->setPrintRange(from ? QPrinter::PageRange : QPrinter::AllPages);
            printer->setFromTo(from, to);
            return result;
        };
    }

    QString pdf() const { return m_dir.filePath("out.pdf"); }
    int pageCount() { return ReportPrinter(m_printer, m_view.printTexts()).paginate(*m_view.document())->pageCount(); }

    QTemporaryDir m_dir;
    QPrinter m_printer{QPrinter::HighResolution};
    CZRREPORTView m_view{plat::LANG_ENGLISH_US, m_printer};
    std::vector<ReportPrinter::Outcome> m_outcomes;
    plat::ScriptedMessageBoxes m_boxes;
    plat::ScopedMessageBoxService m_boxService{m_boxes};
};

TEST_F(ViewerGui, PreviewAskedWhileLoadingRunsOnCompleteWithTheTemplateTexts)
{
    int previewPages = 0;
    plat::qt::ScopedDialogRunner runner([&](QDialog& dialog) {
        auto& preview = dynamic_cast<ReportPreviewDialog&>(dialog);
        EXPECT_EQ(preview.windowTitle(), "Report Preview");
        EXPECT_EQ(preview.printButton()->text(), "Print...");
        EXPECT_EQ(preview.pageSetupButton()->text(), "Page Setup...");
        EXPECT_EQ(preview.closeButton()->text(), "Close");
        preview.pages()->updatePreview();
        previewPages = preview.pages()->pageCount();
        return int(QDialog::Rejected);
    });
    m_view.OnFilePrintPreview();
    EXPECT_TRUE(m_view.pendingPreview());
    EXPECT_TRUE(runner.dialogs().empty());
    plat::qt::PumpAllPending();
    ASSERT_EQ(runner.dialogs().size(), 1u);
    EXPECT_FALSE(m_view.pendingPreview());
    // Laid out on the printer's pages: a 200-row report does not fit on one.
    EXPECT_GT(previewPages, 2);
    EXPECT_EQ(previewPages, pageCount());
}

TEST_F(ViewerGui, PageRangeStopsCutsOrPrints)
{
    plat::qt::PumpAllPending();
    const int pages = pageCount();
    {
        // (A range that ends before it starts cannot be set on a QPrinter; the pure check has it.)
        plat::qt::ScopedDialogRunner beyond(printAnswer(pages + 1, pages + 2));
        m_boxes.answer(plat::IDOK);
        m_view.OnFilePrint();
        EXPECT_EQ(m_boxes.last().text, "Error: Start page greater than number of pages in print job.");
        EXPECT_FALSE(QFile::exists(pdf()));
    }
    {
        plat::qt::ScopedDialogRunner cancel(printAnswer(0, 0, QDialog::Rejected));
        m_view.OnFilePrint();
        EXPECT_FALSE(QFile::exists(pdf()));
    }
    plat::qt::ScopedDialogRunner runner(printAnswer(2, pages + 5));
    m_boxes.answer(plat::IDOK);
    m_view.OnFilePrint();
    EXPECT_EQ(m_boxes.last().text,
              "Warning: End page greater than number of pages in print job. Continuing Print Job.");
    EXPECT_EQ(m_boxes.last().type, plat::MB_OK | plat::MB_ICONWARNING);
    EXPECT_GT(QFile(pdf()).size(), 0);
    EXPECT_EQ(m_boxes.count(), 2u);
    using O = ReportPrinter::Outcome;
    EXPECT_EQ(m_outcomes, (std::vector<O>{O::Stopped, O::Cancelled, O::Printed}));
}

TEST_F(ViewerGui, PrinterThatCannotTakeTheJobIsReported)
{
    plat::qt::PumpAllPending();
    plat::qt::ScopedDialogRunner runner([this](QDialog& dialog) {
        QPrinter* printer = dynamic_cast<QPrintDialog&>(dialog).printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_dir.filePath("missing/folder/out.pdf"));
        return int(QDialog::Accepted);
    });
    m_boxes.answer(plat::IDOK);
    m_view.OnFilePrint();
    ASSERT_EQ(m_outcomes, std::vector<ReportPrinter::Outcome>{ReportPrinter::Outcome::Failed});
    EXPECT_NE(m_boxes.last().text.find("missing/folder/out.pdf"), std::string::npos);
}

} // namespace
} // namespace zrreport
