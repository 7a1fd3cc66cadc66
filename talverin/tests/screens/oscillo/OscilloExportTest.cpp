// The oscilloscope's exports: the CSV bytes from the stored reply and the packed settings panel
// handed to the scope's picture writer, with their dialogs and failure boxes.
#include "screens/oscillo/OscilloCsv.h"
#include "screens/oscillo/OscilloExport.h"
#include "screens/oscillo/OscilloPanelBitmap.h"

#include <platform/errors.h>
#include <platform/file_dialog.h>
#include <platform/message_box.h>

#include <testsupport/temp_folder.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace talverin;

namespace {

struct OscilloExportTest : ::testing::Test {
    plat::ScriptedMessageBoxes boxes;
    plat::ScriptedFileDialogs files;
    plat::ScopedMessageBoxService boxService{boxes};
    plat::ScopedFileDialogService fileService{files};
    plat::test::TempFolder folder;
};

std::uint32_t le(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace

TEST_F(OscilloExportTest, CsvLineEndsAreMadeUniform)
{
    struct Case {
        std::string reply, stored, file;
    } cases[] = {
        {"H\r1,2\r3,4", "H\n1,2\n3,4", "H\r\n1,2\r\n3,4\r\n"},
        {"H\r\n1,2\r\n3,4\r\n", "H\n1,2\n3,4\n", "H\r\n1,2\r\n3,4\r\n"},
        {"H\n\r1\r\r\r\r2\n\n\n3", "H\n1\n2\n3", "H\r\n1\r\n2\r\n3\r\n"},
        {"\r\rA\r\r\rB", "\nA\n\nB", "A\r\nB\r\n"}, // no empty lines in the file
        {"", "", ""},
    };
    for (Case c : cases) {
        NormaliseCaptureReply(c.reply);
        EXPECT_EQ(c.reply, c.stored);
        EXPECT_EQ(CsvFileBytes(c.reply), c.file);
    }

    std::string reply = "H\r1,2";
    const std::string path = folder.file("a.csv");
    files.accept(path);
    EXPECT_TRUE(RunSaveCsv(nullptr, reply));
    EXPECT_EQ(plat::test::readBytes(path), "H\r\n1,2\r\n");
    EXPECT_EQ(reply, "H\n1,2"); // the stored text is changed too
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].defaultExtension, "csv");
    EXPECT_EQ(files.requests()[0].filter, "CSV Files(*.csv)|*.csv|All Files(*.*)|*.*|");

    files.cancel();
    EXPECT_FALSE(RunSaveCsv(nullptr, reply));
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(OscilloExportTest, CsvFailuresShowTheBoxAndKeepWhatWasThere)
{
    const std::string busy = folder.write("busy/keep.txt", "old");
    std::string reply = "H\r1";
    const std::pair<std::string, int> targets[] = {{folder.file("missing/a.csv"), ENOENT}, {folder.file("busy"), EISDIR}};
    for (const auto& [target, err] : targets) {
        files.accept(target);
        boxes.answer(plat::IDOK);
        EXPECT_FALSE(RunSaveCsv(nullptr, reply));
        EXPECT_EQ(boxes.last().caption, "Cannot open file");
        EXPECT_EQ(boxes.last().text, "Cannot open file.\nSpecified file does not exist, or the file is used by another "
                                     "application.\n" + plat::SystemErrorText(err));
        EXPECT_EQ(boxes.last().type, plat::MB_OK | plat::MB_ICONWARNING);
    }
    EXPECT_EQ(plat::test::readBytes(busy), "old");
    EXPECT_EQ(plat::test::fileCount(folder.path()), 1u); // no temporary file left behind
}

TEST_F(OscilloExportTest, BitmapPanelIsPackedForThePictureWriter)
{
    PanelValues values;
    values.date = "2024/01/02 03:04:05";
    values.time = "10.0";
    const QImage panel = DrawPanel(PanelTemplate(), PanelLines(values));
    ASSERT_EQ(panel.size(), QSize(kPanelWidth, kPanelHeight));
    // The CURSOR box's left frame line runs at x = 4 through the spacer line 3 (line height 17).
    const int h = PanelLineHeight();
    EXPECT_EQ(h, 17);
    EXPECT_EQ(panel.pixelColor(4, 2 * h + h + 1), QColor(Qt::black));
    EXPECT_EQ(panel.pixelColor(1, 2 * h + h + 1), QColor(Qt::white));
    EXPECT_EQ(panel.pixelColor(300, 630), QColor(Qt::white)); // below the last line

    const std::vector<std::uint8_t> packed = PackPanelBitmap(panel);
    ASSERT_EQ(packed.size(), kPanelBitsOffset + 1044u * 641u);
    EXPECT_EQ(le(&packed[0], 4), 40u);
    EXPECT_EQ(le(&packed[4], 4), 348u);
    EXPECT_EQ(le(&packed[8], 4), 641u);
    EXPECT_EQ(le(&packed[12], 2), 1u);
    EXPECT_EQ(le(&packed[14], 2), 24u);
    EXPECT_EQ(le(&packed[16], 4), 0u);
    // Bottom row first: the panel's top-left pixel is in the last row.
    const std::size_t topRow = kPanelBitsOffset + 1044u * 640u;
    EXPECT_EQ(packed[topRow], 255);
    EXPECT_EQ(packed[topRow + 3 * 4 + 0], panel.pixelColor(4, 0).blue());
    EXPECT_TRUE(PackPanelBitmap(QImage(10, 10, QImage::Format_RGB32)).empty());

    // The writer gets the chosen path and the panel; its 0 is the failure box.
    std::string writtenTo;
    std::uint32_t headerSeen = 0;
    const SaveScopeBitmap save = [&](const std::string& path, std::intptr_t address) {
        writtenTo = path;
        headerSeen = le(reinterpret_cast<const std::uint8_t*>(address) + 4, 4);
        return path.find("fail") == std::string::npos ? 1000L : 0L;
    };
    files.accept(folder.file("scope.bmp"));
    EXPECT_TRUE(RunSaveBitmap(nullptr, values, save));
    EXPECT_EQ(writtenTo, folder.file("scope.bmp"));
    EXPECT_EQ(headerSeen, 348u);
    EXPECT_EQ(files.requests()[0].defaultExtension, "bmp");

    files.accept(folder.file("fail.bmp"));
    boxes.answer(plat::IDOK);
    EXPECT_FALSE(RunSaveBitmap(nullptr, values, save));
    EXPECT_EQ(boxes.last().caption, "File save error");
    EXPECT_EQ(boxes.last().text, "Failed to save file.\nCannot create specified file, or file may be set read-only by "
                                 "another application.");
    files.cancel();
    writtenTo.clear();
    EXPECT_FALSE(RunSaveBitmap(nullptr, values, save));
    EXPECT_TRUE(writtenTo.empty());
}
