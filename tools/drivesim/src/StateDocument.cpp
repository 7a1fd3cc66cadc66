#include "StateDocument.h"

#include "ErrorTexts.h"
#include "ModelState.h"
#include "ScaledNumber.h"

#include <vector>

namespace drivesim {

namespace {
struct Record {
    int line;
    std::string text;
};

// Lines end with CR LF, LF or CR; comments and blanks go, empty lines stay (they end blocks).
std::vector<Record> records(const std::string& text)
{
    std::vector<Record> out;
    std::string current;
    int line = 1;
    auto flush = [&] {
        std::string record = normalised(current);
        if (record.empty() || record[0] != ';')
            out.push_back({line, std::move(record)});
        current.clear();
        ++line;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            flush();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        flush();
    return out;
}

// Any text of the driver's error table, or a '?' at the end of a line, is a refusal.
bool refused(const std::vector<std::string>& lines, std::string& why)
{
    static const char* const kErrors[] = {errors::kUnknownOption, errors::kReadHibit, errors::kRangeOver,
                                          errors::kConditionMismatch, errors::kNotOmissible,
                                          errors::kPasswordRequired, errors::kReadOnly};
    for (const std::string& l : lines) {
        for (const char* e : kErrors)
            if (l.rfind(e, 0) == 0) {
                why = l;
                return true;
            }
        if (!l.empty() && l.back() == '?') {
            why = l;
            return true;
        }
    }
    return false;
}
} // namespace

bool StateDocument::apply(ModelState& state, const std::string& text, std::string& error)
{
    const bool wasLocked = state.locked;
    state.locked = false;
    const std::vector<Record> all = records(text);
    bool ok = true;
    for (std::size_t i = 0; ok && i < all.size(); ++i) {
        Record r = all[i];
        if (r.text.empty())
            continue;
        const ModelState::Reply reply = state.execute(r.text, r.text);
        std::vector<std::string> answer = reply.lines;
        std::string why;
        if (reply.block != ModelState::Reply::Block::None) {
            // The block's records, up to an empty one (or the end of the document).
            std::vector<std::string> fields;
            while (ok && i + 1 < all.size() && !all[i + 1].text.empty()) {
                const Record& l = all[++i];
                if (reply.block != ModelState::Reply::Block::Channel) {
                    fields.push_back(l.text);
                } else {
                    why = state.checkChannelLine(l.text);
                    if (why.empty() && !state.channels.append(reply.index, l.text))
                        why = "more than " + std::to_string(ChannelStore::kMaxLines) + " channel lines";
                    if (!why.empty()) {
                        r = l;
                        break;
                    }
                }
            }
            if (reply.block != ModelState::Reply::Block::Channel) {
                const PinSide side = reply.block == ModelState::Reply::Block::Input ? PinSide::Input : PinSide::Output;
                answer = state.applyPinFields(side, reply.index, fields);
            }
        }
        if (!why.empty() || refused(answer, why)) {
            error = "line " + std::to_string(r.line) + ": " + r.text + ": " + why;
            ok = false;
        }
    }
    state.locked = wasLocked;
    return ok;
}

} // namespace drivesim
