#include "frame/StartScreenRules.h"

#include "common/CommandIds.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace talverin {

namespace {

constexpr int kMaxSide = 4096;
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

std::uint32_t le32(const QByteArray& b, int at)
{
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

std::uint16_t le16(const QByteArray& b, int at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}

bool soundBitmap(const QByteArray& b)
{
    constexpr int kFileHeader = 14;
    if (b.size() < kFileHeader + 12 || b[0] != 'B' || b[1] != 'M')
        return false;
    const std::uint64_t offBits = le32(b, 10);
    const std::uint32_t headerSize = le32(b, 14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = BI_RGB;
    if (headerSize == 12) {
        width = le16(b, 18);
        height = le16(b, 20);
        planes = le16(b, 22);
        bits = le16(b, 24);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        if (b.size() < kFileHeader + static_cast<int>(headerSize))
            return false;
        width = static_cast<std::int32_t>(le32(b, 18));
        height = static_cast<std::int32_t>(le32(b, 22));
        planes = le16(b, 26);
        bits = le16(b, 28);
        compression = le32(b, 30);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || width > kMaxSide || std::llabs(height) > kMaxSide || planes != 1)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (offBits < kFileHeader + headerSize || offBits >= static_cast<std::uint64_t>(b.size()))
        return false;
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
        if (offBits + rowBytes * static_cast<std::uint64_t>(std::llabs(height)) > static_cast<std::uint64_t>(b.size()))
            return false;
    }
    return true;
}

} // namespace

bool IsStartMenuHeading(std::string_view text)
{
    if (text.size() >= 2) {
        const char first = text.front();
        const char last = text.back();
        if ((first == '[' && last == ']') || (first == '<' && last == '>'))
            return true;
    }
    auto has = [text](const char* mark) { return text.find(mark) != std::string_view::npos; };
    return (has("\xE3\x80\x8E") && has("\xE3\x80\x8F"))     // 『 』
        || (has("\xE3\x80\x90") && has("\xE3\x80\x91"));    // 【 】
}

StartRowColors StartRowColorsFor(bool checked, bool hot)
{
    constexpr plat::COLORREF black = 0x000000;
    constexpr plat::COLORREF white = 0xFFFFFF;
    constexpr plat::COLORREF red = 0x0000FF;
    if (checked && hot)
        return {0x8080FF, red};
    if (checked)
        return {black, red};
    if (hot)
        return {red, black};
    return {black, white};
}

plat::UINT StartChoiceCommand(plat::LPARAM choice)
{
    switch (choice) {
    case 100: return ID_VIEW_PARAM;
    case 200: return ID_VIEW_CHANNEL;
    case 300: return ID_VIEW_IO;
    case 400: return ID_VIEW_OSCILLO;
    case 500: return ID_VIEW_TERMINAL;
    default: return 0;
    }
}

QImage LoadStartBitmap(const QString& path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (!soundBitmap(bytes))
        return {};
    return QImage::fromData(bytes, "BMP");
}

} // namespace talverin
