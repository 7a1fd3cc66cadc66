#include "BlockDialog.h"

#include "ModelState.h"
#include "ScaledNumber.h"

namespace drivesim {

Program channelBlock(const std::shared_ptr<ModelState>& state, int channel)
{
    const int next = static_cast<int>(state->channels.lines(channel).size());
    return {Question(lineNumber(next), [state, channel](const std::string& answer) -> Program {
        const std::string line = normalised(answer);
        if (line.empty())
            return {};
        std::lock_guard lock(state->mu);
        Program p;
        if (!state->checkChannelLine(line).empty() || !state->channels.append(channel, line))
            p.push_back(Line(quoted(line) + "?"));
        const Program more = channelBlock(state, channel);
        p.insert(p.end(), more.begin(), more.end());
        return p;
    })};
}

Program pinBlock(const std::shared_ptr<ModelState>& state, PinSide side, int io, std::vector<std::string> fields)
{
    const int next = static_cast<int>(fields.size());
    return {Question(lineNumber(next), [state, side, io, fields](const std::string& answer) mutable -> Program {
        const std::string field = normalised(answer);
        std::lock_guard lock(state->mu);
        if (!field.empty()) {
            fields.push_back(field);
            return pinBlock(state, side, io, std::move(fields));
        }
        Program p;
        for (const std::string& l : state->applyPinFields(side, io, fields))
            p.push_back(Line(l));
        return p;
    })};
}

} // namespace drivesim
