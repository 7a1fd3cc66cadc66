#include "screens/oscillo/OscilloPanelBitmap.h"

#include <platform/language.h>
#include <platform/qt/fonts.h>

#include <QPainter>

#include <cstring>

namespace talverin {

namespace {

constexpr int kCell = 7;       // character cell width
constexpr int kFontHeight = 14; // character cell height
constexpr int kFrameX = 4;     // the frame's first column
constexpr int kTextX = 3;      // the texts' first column

void putLE(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

char charAt(std::string_view line, std::size_t column)
{
    return column < line.size() ? line[column] : ' ';
}

// The frame characters of one template line.
void drawFrame(QPainter& p, std::string_view line, std::string_view above, bool first, int top, int bottom, int middle)
{
    for (std::size_t col = 0; col < line.size(); ++col) {
        const int x = kFrameX + kCell * static_cast<int>(col);
        const char c = line[col];
        if (c == '-') {
            p.drawLine(x - 5, middle, x + 4, middle);
        } else if (c == '|') {
            p.drawLine(x, top - 1, x, bottom + 1);
        } else if (c == '+') {
            const char before = col == 0 ? ' ' : line[col - 1];
            const bool underBar = !first && charAt(above, col) == '|';
            int reach;
            if (before == ' ')
                reach = x + 3;
            else if (before == '-')
                reach = x - 4;
            else
                continue;
            if (underBar) {
                p.drawLine(x, top, x, middle);
                p.drawLine(x, middle, reach, middle);
            } else {
                p.drawLine(reach, middle, x, middle);
                p.drawLine(x, middle, x, bottom);
            }
        }
    }
}

} // namespace

int PanelLineHeight()
{
    return kFontHeight + kFontHeight / 4;
}

QImage DrawPanel(const std::array<std::string_view, kPanelLineCount>& templateLines, const std::vector<PanelLine>& filled)
{
    QImage image(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setPen(QPen(Qt::black, 0));
    QFont font = plat::qt::MakeFont("MS Gothic", kFontHeight, 400, false, true, plat::GetLanguage());
    p.setFont(font);

    const int h = PanelLineHeight();
    int top = 0;
    for (std::size_t i = 0; i < templateLines.size(); ++i) {
        const std::string_view line = templateLines[i];
        const bool spacer = !line.empty() && line.back() == '@';
        const int height = spacer ? h / 4 : h;
        const int middle = top + (spacer ? h / 16 : h / 2);
        drawFrame(p, spacer ? line.substr(0, line.size() - 1) : line, i == 0 ? std::string_view() : templateLines[i - 1],
                  i == 0, top, top + height, middle);
        if (i < filled.size() && !filled[i].spacer) {
            const QString text = QString::fromStdString(filled[i].text);
            for (int col = 0; col < text.size(); ++col) {
                const int x = kTextX + kCell * col;
                if (x >= kPanelWidth)
                    break;
                if (text[col] != QLatin1Char(' '))
                    p.drawText(QRect(x, top, kCell, h), Qt::AlignHCenter | Qt::AlignVCenter, QString(text[col]));
            }
        }
        top += height;
    }
    p.end();
    return image;
}

std::vector<std::uint8_t> PackPanelBitmap(const QImage& panel)
{
    if (panel.width() != kPanelWidth || panel.height() != kPanelHeight)
        return {};
    const QImage image = panel.convertToFormat(QImage::Format_RGB32);
    const std::size_t stride = static_cast<std::size_t>(kPanelWidth) * 3; // 1044: already a multiple of 4
    std::vector<std::uint8_t> out(kPanelBitsOffset + stride * kPanelHeight, 0);
    putLE(out, 0, 40, 4);          // header size
    putLE(out, 4, kPanelWidth, 4);
    putLE(out, 8, kPanelHeight, 4); // positive: bottom row first
    putLE(out, 12, 1, 2);          // planes
    putLE(out, 14, 24, 2);         // bits per pixel; compression and the rest stay 0
    for (int y = 0; y < kPanelHeight; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(kPanelHeight - 1 - y));
        std::uint8_t* dst = out.data() + kPanelBitsOffset + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < kPanelWidth; ++x) {
            *dst++ = static_cast<std::uint8_t>(qBlue(row[x]));
            *dst++ = static_cast<std::uint8_t>(qGreen(row[x]));
            *dst++ = static_cast<std::uint8_t>(qRed(row[x]));
        }
    }
    return out;
}

} // namespace talverin
