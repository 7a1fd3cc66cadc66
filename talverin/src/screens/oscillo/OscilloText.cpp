#include "screens/oscillo/OscilloText.h"

#include <model/NumberChecks.h>
#include <model/NumberText.h>

#include <platform/qt/colors.h>
#include <platform/text.h>

#include <algorithm>

namespace talverin {

std::string OneDecimal(double value)
{
    return CutDecimals(model::FormatFixed(value, 3), 1);
}

std::string CutDecimals(std::string_view text, int decimals)
{
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos)
        return std::string(text);
    const std::size_t keep = point + 1 + static_cast<std::size_t>(std::max(decimals, 0));
    return std::string(text.substr(0, std::min(keep, text.size())));
}

plat::COLORREF ParseColorTriple(std::string_view text)
{
    int fields[3] = {};
    int count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view field = text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        if (count < 3)
            fields[count] = std::clamp(model::ParseLeadingInt(field), 0, 255);
        ++count;
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (count != 3)
        return plat::RGB(64, 64, 64);
    return plat::RGB(static_cast<plat::BYTE>(fields[0]), static_cast<plat::BYTE>(fields[1]),
                     static_cast<plat::BYTE>(fields[2]));
}

std::string NormaliseScaleText(std::string_view text)
{
    std::string_view t = plat::TrimView(text);
    while (t.size() >= 2 && t[0] == '0' && t[1] == '0')
        t.remove_prefix(2);
    return std::string(t);
}

std::string NormaliseLevelText(std::string_view text)
{
    std::string_view t = plat::TrimView(text);
    while (t.size() >= 2 && t[0] == '0' && t[1] == '0')
        t.remove_prefix(1);
    if (!model::IsNumberText(t))
        return "0";
    return std::string(t);
}

std::string FitLevelText(std::string_view text, const LevelFormat& format)
{
    if (format.boolean)
        return model::FormatInt(model::ParseLeadingInt(text));
    const bool hasPoint = text.find('.') != std::string_view::npos;
    if (format.decimals <= 0 && !hasPoint)
        return std::string(text);
    std::string fitted(text);
    if (!hasPoint)
        fitted += '.';
    fitted.append(static_cast<std::size_t>(std::max(format.decimals, 0)), '0');
    const std::size_t point = fitted.find('.');
    // No point at all when the parameter has no decimals.
    return fitted.substr(0, format.decimals > 0 ? point + 1 + static_cast<std::size_t>(format.decimals) : point);
}

int FactorDigits(long long factor)
{
    int digits = 1;
    for (long long f = factor < 0 ? -factor : factor; f >= 10; f /= 10)
        ++digits;
    return digits;
}

std::string ReadoutText(double value, long long factor)
{
    const int d = FactorDigits(factor);
    return CutDecimals(model::FormatFixed(value, d + 1), d - 1);
}

std::string AlignRight(std::string_view text, std::size_t n)
{
    if (text.size() > n)
        return std::string(text);
    const std::string_view t = plat::TrimView(text);
    return std::string(n - t.size(), ' ') + std::string(t);
}

std::string AlignLeft(std::string_view text, std::size_t n)
{
    if (text.size() > n)
        return std::string(text);
    const std::string_view t = plat::TrimView(text);
    return std::string(t) + std::string(n - t.size(), ' ');
}

std::string AlignCentre(std::string_view text, std::size_t n)
{
    const std::string_view t = plat::TrimView(text);
    if (t.size() >= n)
        return std::string(t);
    const std::size_t d = n - t.size();
    std::string centred = std::string((d + 1) / 2, ' ') + std::string(t);
    centred.resize(n, ' ');
    return centred;
}

} // namespace talverin
