#include "common/WidgetHelpers.h"

#include "common/AppMessages.h"

#include "platform/qt/flat_cell.h"
#include <model/CommandSupport.h>
#include <platform/qt/window_bridge.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using plat::qt::DrawFlatCell;
using plat::qt::DrawItemInfo;
using talverin::FindMenuItemByText;
using talverin::SetStatusText;
using talverin::StatusTextRecord;
using talverin::WM_SET_STATUS_TEXT;

namespace {

constexpr QRgb kFill = 0xFF80FF80;   // the lit button's green
constexpr QRgb kLight = 0xFFC0FFC0;
constexpr QRgb kShadow = 0xFF404040;

struct Cell {
    QImage image;
    QRect textBox; // bounding box of the pixels that are neither fill nor frame
    int darkest = 255;
};

Cell drawCell(const QString& text, int inset, unsigned state, bool grey)
{
    Cell cell;
    cell.image = QImage(120, 40, QImage::Format_ARGB32);
    cell.image.fill(Qt::magenta);
    {
        QPainter painter(&cell.image);
        painter.setPen(Qt::black);
        QFont font = painter.font();
        font.setPixelSize(14);
        painter.setFont(font);
        DrawItemInfo item;
        item.painter = &painter;
        item.rect = QRect(10, 5, 100, 30);
        item.state = state;
        DrawFlatCell(text, item, inset, QColor::fromRgb(kFill), QColor::fromRgb(kLight), QColor::fromRgb(kShadow), grey);
    }
    for (int y = 6; y < 34; ++y) {
        for (int x = 11; x < 109; ++x) {
            const QRgb p = cell.image.pixel(x, y);
            if (p == kFill)
                continue;
            cell.textBox |= QRect(x, y, 1, 1);
            cell.darkest = std::min(cell.darkest, qGray(p));
        }
    }
    return cell;
}

} // namespace

TEST(WidgetHelpersGui, FlatCellFillAndFrame)
{
    const Cell cell = drawCell("Connect", 0, 0, true);
    const QImage& img = cell.image;
    // Outside the cell nothing is touched: the background is transparent.
    EXPECT_EQ(img.pixel(9, 20), QColor(Qt::magenta).rgba());
    EXPECT_EQ(img.pixel(111, 20), QColor(Qt::magenta).rgba());
    // Left and top edges in the first colour, right and bottom edges in the second.
    for (int y = 5; y < 34; ++y)
        EXPECT_EQ(img.pixel(10, y), kLight) << y;
    for (int x = 10; x < 109; ++x)
        EXPECT_EQ(img.pixel(x, 5), kLight) << x;
    for (int y = 5; y <= 34; ++y)
        EXPECT_EQ(img.pixel(109, y), kShadow) << y;
    for (int x = 10; x <= 109; ++x)
        EXPECT_EQ(img.pixel(x, 34), kShadow) << x;
    // Filled inside, text drawn roughly in the middle.
    EXPECT_EQ(img.pixel(12, 7), kFill);
    ASSERT_FALSE(cell.textBox.isEmpty());
    EXPECT_NEAR(cell.textBox.center().x(), 59.5, 3);
    EXPECT_NEAR(cell.textBox.center().y(), 19.5, 3);
    EXPECT_LT(cell.darkest, 80);
}

TEST(WidgetHelpersGui, FlatCellInsetMovesTheText)
{
    const Cell flat = drawCell("Disconnect", 0, 0, false);
    const Cell pressed = drawCell("Disconnect", 3, 0, false);
    ASSERT_FALSE(flat.textBox.isEmpty());
    EXPECT_EQ(pressed.textBox, flat.textBox.translated(3, 3));
}

TEST(WidgetHelpersGui, FlatCellGreyTextOnlyForDisabledItemsWithTheFlag)
{
    const int greyLevel = qGray(QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText).rgb());
    ASSERT_GT(greyLevel, 80) << "the disabled text colour of this palette is too dark to tell apart";
    const Cell disabled = drawCell("Connect", 0, plat::qt::ODS_DISABLED, true);
    EXPECT_GE(disabled.darkest, greyLevel - 2);
    const Cell greyed = drawCell("Connect", 0, plat::qt::ODS_GRAYED, true);
    EXPECT_GE(greyed.darkest, greyLevel - 2);
    // The flag off, or an enabled item: ordinary text.
    EXPECT_LT(drawCell("Connect", 0, plat::qt::ODS_DISABLED, false).darkest, 80);
    EXPECT_LT(drawCell("Connect", 0, plat::qt::ODS_SELECTED, true).darkest, 80);
}

TEST(WidgetHelpersGui, FlatCellLongTextStaysOnOneLineInsideTheCell)
{
    const Cell cell = drawCell(QString(200, QLatin1Char('W')) + "\nsecond line", 3, 0, false);
    const QRect cellRect(10, 5, 100, 30);
    int outside = 0;
    for (int y = 0; y < cell.image.height(); ++y) {
        for (int x = 0; x < cell.image.width(); ++x) {
            if (!cellRect.contains(x, y) && cell.image.pixel(x, y) != QColor(Qt::magenta).rgba())
                ++outside;
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(cell.image.pixel(109, 20), kShadow);
    EXPECT_LT(cell.darkest, 80);
    // Nothing drawn without a painter or with an empty cell.
    DrawItemInfo none;
    DrawFlatCell("x", none, 0, Qt::red, Qt::red, Qt::red, false);
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawItemInfo empty{&painter, QRect(), 0};
    DrawFlatCell("x", empty, 0, Qt::red, Qt::red, Qt::red, false);
    painter.end();
    EXPECT_EQ(image.pixel(5, 5), QColor(Qt::white).rgba());
}

TEST(WidgetHelpersGui, FindMenuItemByExactText)
{
    QMenu menu;
    menu.addAction("&File");
    menu.addSeparator();
    menu.addAction("Open");
    menu.addAction("Open");
    menu.addAction(QString::fromUtf8("開く"));
    EXPECT_EQ(FindMenuItemByText(&menu, "&File"), 0);
    EXPECT_EQ(FindMenuItemByText(&menu, "Open"), 2);
    EXPECT_EQ(FindMenuItemByText(&menu, QString::fromUtf8("開く")), 4);
    // No match is -1, never a position of a real item.
    EXPECT_EQ(FindMenuItemByText(&menu, "File"), -1);
    EXPECT_EQ(FindMenuItemByText(&menu, "open"), -1);
    EXPECT_EQ(FindMenuItemByText(&menu, "Open "), -1);
    EXPECT_EQ(FindMenuItemByText(nullptr, "Open"), -1);
    QMenu emptyMenu;
    EXPECT_EQ(FindMenuItemByText(&emptyMenu, "Open"), -1);

    QMenuBar bar;
    bar.addMenu("&Edit");
    bar.addMenu("&View");
    EXPECT_EQ(FindMenuItemByText(&bar, "&View"), 1);
}

TEST(WidgetHelpersGui, StatusTextGoesToTheMainWindow)
{
    // Without a main window nothing happens; with one, pane 0 gets the record {caller, text}.
    SetStatusText(nullptr, "lost");
    QWidget caller;
    std::vector<std::pair<std::intptr_t, std::string>> got;
    plat::qt::WindowBridge frame(&caller, [&](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
        const auto* record = reinterpret_cast<const StatusTextRecord*>(l);
        if (m == WM_SET_STATUS_TEXT && w == 0)
            got.emplace_back(record->value, record->text ? record->text : "(null)");
        return plat::LRESULT{1};
    });
    model::SetMainWindow(frame.hwnd());
    SetStatusText(&caller, "Command Error");
    SetStatusText(nullptr, static_cast<const char*>(nullptr));
    SetStatusText(nullptr, QString::fromUtf8("コマンドエラー"));
    model::SetMainWindow(nullptr);
    const std::vector<std::pair<std::intptr_t, std::string>> expected = {
        {reinterpret_cast<std::intptr_t>(&caller), "Command Error"}, {0, "(null)"}, {0, "コマンドエラー"}};
    EXPECT_EQ(got, expected);
}
