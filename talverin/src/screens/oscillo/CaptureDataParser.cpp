#include "screens/oscillo/CaptureDataParser.h"

#include <model/NumberText.h>
#include <model/ZRParamData.h>

#include <algorithm>

namespace talverin {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Fills one row from a line that holds no CR or LF.
model::CaptureSample parseRow(std::string_view line)
{
    model::CaptureSample row;
    std::size_t at = 0;
    for (double& value : row.m_value) {
        if (at < line.size() && line[at] == ' ')
            ++at;
        if (at >= line.size() || line[at] == ',') {
            value = model::kNoValue;
            if (at < line.size())
                ++at;
            continue;
        }
        const std::size_t comma = line.find(',', at);
        const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        value = model::ParseLeadingDouble(line.substr(at, end - at));
        at = comma == std::string_view::npos ? line.size() : comma + 1;
    }
    return row;
}

} // namespace

int CaptureCapacity(int sampleCount)
{
    return sampleCount > 0 ? sampleCount + sampleCount / 10 : 0;
}

CaptureRows ParseCaptureRows(std::string_view reply, int sampleCount, std::vector<model::CaptureSample>& rows)
{
    CaptureRows result;
    rows.clear();
    const std::size_t capacity = static_cast<std::size_t>(CaptureCapacity(sampleCount));
    rows.reserve(capacity);

    const std::size_t firstCr = reply.find('\r');
    if (firstCr == std::string_view::npos)
        return result;
    result.hasHeader = true;
    result.header = std::string(reply.substr(0, firstCr));

    std::size_t at = firstCr + 1;
    while (at < reply.size() && rows.size() < capacity) {
        while (at < reply.size() && isLineEnd(reply[at]))
            ++at;
        if (at >= reply.size())
            break;
        std::size_t end = at;
        while (end < reply.size() && !isLineEnd(reply[end]))
            ++end;
        const std::string_view line = reply.substr(at, end - at);
        if (line.find(',') != std::string_view::npos)
            rows.push_back(parseRow(line));
        at = end;
    }
    return result;
}

int KeptCaptureRows(int stored, int sampleCount, int drawMode)
{
    if (drawMode != 2 || stored <= 0)
        return std::max(stored, 0);
    const int division = sampleCount / 20;
    if (division <= 0)
        return stored;
    const int m = stored % division;
    return m >= 3 ? stored - (m - 2) : stored;
}

int DataReplyPercent(std::string_view replySoFar, int sampleCount)
{
    const auto lines = static_cast<long long>(std::count(replySoFar.begin(), replySoFar.end(), '\r'));
    const long long expected = std::max(sampleCount, 0) + 2LL;
    return static_cast<int>(std::min(99LL, lines * 100 / expected));
}

} // namespace talverin
