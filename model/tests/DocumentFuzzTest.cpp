// Damaged documents and replies: thousands of mutated copies of the sample document and of the
// driver's read-all reply go through the checks and readers. None may crash or leave the store
// inconsistent, and whatever was loaded must save and reload to the same bytes.
#include "DocumentTestSupport.h"

#include "model/DocumentFile.h"

#include <platform/text.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <set>

using model::CDataFile;
using model::CN2PinRecord;
using model::test::DocumentStore;
using model::test::ReadBytes;
using model::test::SampleDocumentText;
using model::test::SampleReplyText;

namespace {

constexpr int kVariants = 10000;
// Every this many variants, the loaded store is saved, reloaded and saved again.
constexpr int kRoundTripEvery = 100;

const char* const kLinesToInsert[] = {
    "CC/AL", "PI/CL", "PO/CL", "CH300", "CH-1", "CH0", "CH255", "CHK1", "PI17", "PO8", "PI0", "PO7",
    "MM0", "", "[x]", "[ Parameter ]", ";Unit:NOPE", ";Unit:KVX-100", ";MI:", ";Comment:", ";Alarm:", ";",
    "SWON", "SWOFF", "MODE", "MODEX1", "ZZZ5", "XX1.25", "KP0", "KP1", "FN", "AB", "NW9", "GC0", "ST",
    "SPD-", "SPD1e999", "GAIN0.0000001", "-5", "\t", "PI/CLCC/AL", "CHCH1", "MMMM", "\xff\xfe", "SPD\x00" "5",
};

class Mutator {
public:
    explicit Mutator(std::uint32_t seed) : m_rng(seed) {}

    std::string mutate(const std::string& base)
    {
        const char eol = base.find('\r') != std::string::npos ? '\r' : '\n';
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t i = 0; i < base.size(); ++i) {
            if (base[i] == eol) {
                lines.push_back(base.substr(start, i - start));
                start = i + 1;
            }
        }
        const int edits = 1 + pick(4);
        for (int e = 0; e < edits && !lines.empty(); ++e) {
            const std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(lines.size())));
            switch (pick(9)) {
            case 0: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at)); break;
            case 1: lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), lines[at]); break;
            case 2: std::swap(lines[at], lines[static_cast<std::size_t>(pick(static_cast<int>(lines.size())))]); break;
            case 3: {
                const auto& insert = kLinesToInsert[pick(static_cast<int>(std::size(kLinesToInsert)))];
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::string(insert));
                break;
            }
            case 4:
                if (!lines[at].empty())
                    lines[at][static_cast<std::size_t>(pick(static_cast<int>(lines[at].size())))] = static_cast<char>(pick(256));
                break;
            case 5: {
                std::string bytes;
                for (int n = 1 + pick(8); n > 0; --n)
                    bytes.push_back(static_cast<char>(pick(256)));
                lines[at].insert(static_cast<std::size_t>(pick(static_cast<int>(lines[at].size()) + 1)), bytes);
                break;
            }
            case 6: lines.resize(at); break;
            case 7: lines[at] += std::to_string(pick(1000) - 500); break;
            default: {
                // A block of lines moved elsewhere, the way parts change places in the reply.
                const std::size_t length = std::min<std::size_t>(lines.size() - at, static_cast<std::size_t>(1 + pick(20)));
                std::vector<std::string> block(lines.begin() + static_cast<std::ptrdiff_t>(at),
                                               lines.begin() + static_cast<std::ptrdiff_t>(at + length));
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at), lines.begin() + static_cast<std::ptrdiff_t>(at + length));
                const std::size_t to = static_cast<std::size_t>(pick(static_cast<int>(lines.size()) + 1));
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(to), block.begin(), block.end());
                break;
            }
            }
        }
        static const char* const kEnds[] = {"\n", "\r\n", "\r"};
        const std::string end = pick(4) == 0 ? kEnds[pick(3)] : std::string(1, eol);
        std::string out;
        for (const auto& line : lines)
            out += line + end;
        if (pick(10) == 0 && !out.empty())
            out.resize(static_cast<std::size_t>(pick(static_cast<int>(out.size()))));
        return out;
    }

    int pick(int n) { return n <= 0 ? 0 : static_cast<int>(m_rng() % static_cast<std::uint32_t>(n)); }

private:
    std::mt19937 m_rng;
};

// The result of one worker's share of the variants.
struct Tally {
    int loaded = 0;
    int refused = 0;
    int roundTrips = 0;
    std::string problem; // the first thing found wrong, with the variant's text
};

class DamagedDocuments : public DocumentStore {
protected:
    // What any load, good or failed, must leave behind; the first thing wrong, or "".
    std::string inconsistency()
    {
        const auto& channels = *store.GetChannelArray();
        if (channels.size() != 256u)
            return "channel slots: " + std::to_string(channels.size());
        for (std::size_t ch = 0; ch < channels.size(); ++ch) {
            const auto& program = channels[ch];
            if (!program)
                continue;
            if (program->m_channel != static_cast<int>(ch))
                return "channel " + std::to_string(ch) + " numbered " + std::to_string(program->m_channel);
            for (const auto& line : program->m_lines) {
                const auto tab = line.text.find('\t');
                if (tab == std::string::npos || tab == 0)
                    return "program line without mnemonic: " + line.text;
            }
        }
        const auto& pins = *store.GetPinArray();
        if (pins.size() != 50u)
            return "pin slots: " + std::to_string(pins.size());
        for (std::size_t slot = 0; slot < pins.size(); ++slot) {
            const auto& pin = pins[slot];
            if (!pin)
                continue;
            const bool input = slot < CN2PinRecord::kLastInputPin;
            if (pin->m_pin != static_cast<int>(slot) + 1
                || CN2PinRecord::BitIndexToPin(input ? 1 : 0, pin->m_io) != static_cast<int>(slot) + 1)
                return "pin in slot " + std::to_string(slot) + ": " + pin->Format(1);
            // A damaged pin block may give an input an output's logic letter or none (a block
            // with a field twice); the writer then writes the input's form, so nothing else may
            // appear.
            if (!std::set<std::string>({"", "A", "B", "P", "N"}).count(pin->m_logic))
                return "pin logic " + pin->m_logic;
        }
        std::set<std::string> names;
        for (const auto& record : *store.GetParameterList()) {
            if (record->m_name.empty())
                return "a parameter without a name";
            if (!names.insert(plat::ToLowerAscii(record->m_name)).second)
                return "parameter twice: " + record->m_name;
            if (record->m_attributes.find('T') != std::string::npos && record->m_sequence <= 0)
                return "transferable without a number: " + record->m_name;
            if (record->m_currentText.size() > 63u + record->m_defaultText.size())
                return "text value too long: " + record->m_name;
        }
        if (const auto* header = store.GetSharedHeader()) {
            if (header->m_channelArray != reinterpret_cast<std::uintptr_t>(store.GetChannelArray()))
                return "the shared block names another channel array";
        }
        return {};
    }

    // Variants first .. last (every `stride`-th) of the two bases, through the checks and readers.
    Tally run(const std::string bases[2], std::uint32_t seed, int first, int last, int stride,
              std::size_t definitionCount, const std::string& path)
    {
        Tally tally;
        Mutator mutator(seed);
        // Back to the definition's records: the parameters a variant made up go again.
        auto forgetMadeUpParameters = [&] {
            store.ClearAll(1);
            store.GetParameterList()->resize(definitionCount);
        };
        for (int variant = first; variant < last; variant += stride) {
            const std::string text = mutator.mutate(bases[variant % 2]);
            auto fail = [&](const std::string& what) {
                tally.problem = "variant " + std::to_string(variant) + ": " + what + "\n---\n" + text;
                return tally;
            };
            model::test::WriteBytes(path, text);

            int code = -1;
            if (variant % 4 == 1 && model::CheckDocumentSectionsText(text, code) == 0 && code != 2 && code != 4 && code != 5)
                return fail("section check code " + std::to_string(code));
            if (variant % 10 == 0) {
                code = -1;
                if (store.CheckDocument(path, code) == 0 && (code < 1 || code > 5))
                    return fail("document check code " + std::to_string(code));
            }

            // The reader on the damaged text, as the document class and the read-all path run it.
            forgetMadeUpParameters();
            const std::size_t boxesBefore = boxes.shown.size();
            code = -1;
            if (store.LoadDocument(path, code) == 1) {
                ++tally.loaded;
                if (code != 0 || boxes.shown.size() != boxesBefore)
                    return fail("a load that succeeded reported a failure");
            } else {
                ++tally.refused;
                if (code != 2 || boxes.shown.size() != boxesBefore + 1)
                    return fail("a failed load without code 2 and one box");
            }
            if (auto wrong = inconsistency(); !wrong.empty())
                return fail(wrong);

            // The same text as a reply to the special parameters, line by line.
            if (variant % 4 == 2) {
                store.ParseReceivedParameters(text);
                if (auto wrong = inconsistency(); !wrong.empty())
                    return fail("after the special replies: " + wrong);
            } else if (variant % 4 == 3) {
                std::vector<model::SpecialParameterLine> list;
                store.ExtractSpecialParameters(text, list);
                if (list.size() > 3u)
                    return fail("special lines: " + std::to_string(list.size()));
            }

            // Whatever was loaded is written back in a form that reads back to itself.
            if (variant % kRoundTripEvery == 0) {
                store.m_unitName = "KVX-100";
                const std::string saved = save("a" + std::to_string(seed) + ".zrd");
                if (saved.empty())
                    return fail("the loaded store could not be saved");
                forgetMadeUpParameters();
                code = -1;
                const std::string again = folder.file("a" + std::to_string(seed) + ".zrd");
                if (store.CheckDocument(again, code) != 1 || store.LoadDocument(again, code) != 1)
                    return fail("its own save does not load again:\n" + saved);
                if (save("b" + std::to_string(seed) + ".zrd") != saved)
                    return fail("a second save differs from the first:\n" + saved);
                ++tally.roundTrips;
            }
        }
        return tally;
    }
};

// The sample document and the driver's reply with the run of empty channels 3..254 left out:
// those 252 identical lines add nothing a mutation could find, and only cost time.
std::string shortened(std::string text, const char* from, const char* to)
{
    const auto begin = text.find(from);
    const auto end = text.find(to);
    text.erase(begin, end - begin);
    return text;
}

TEST_F(DamagedDocuments, NeverCrashAndLeaveAConsistentStore)
{
    const std::string bases[2] = {shortened(SampleDocumentText(), "CH3\n", "CH255\n"),
                                  shortened(SampleReplyText(), "CH3\r", "CH255\r")};
    // The settings and the disabled pin fields come from small files of their own, so that the
    // time goes into the readers under test rather than into settings-file parsing.
    store.m_settingsPath = folder.write("small.ini", "[Unit]\nKVX-100=.\\unit\\kvx100.ini\n");
    store.m_unitFilePath = folder.write("unit/disable.ini", "[CN2-Disable]\nPI0=FN,AB\nPO0=ST\n");
    store.m_specialParameters = {"MODE", "SW", "OFS"};
    const std::size_t definitionCount = store.GetParameterList()->size();

    // The variants are shared among worker processes (a crash is then one worker's failed exit
    // status); each sends its tally back through a pipe.
    constexpr int kWorkers = 4;
    struct Worker {
        pid_t pid = -1;
        int fd = -1;
    };
    std::vector<Worker> workers;
    for (int w = 0; w < kWorkers; ++w) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            const Tally tally = run(bases, 20240501u + static_cast<std::uint32_t>(w), w, kVariants, kWorkers,
                                    definitionCount, folder.file("variant" + std::to_string(w) + ".zrd"));
            const std::string report = std::to_string(tally.loaded) + " " + std::to_string(tally.refused) + " "
                                       + std::to_string(tally.roundTrips) + "\n" + tally.problem;
            std::size_t sent = 0;
            while (sent < report.size()) {
                const ssize_t n = ::write(fds[1], report.data() + sent, report.size() - sent);
                if (n <= 0)
                    break;
                sent += static_cast<std::size_t>(n);
            }
            ::_exit(tally.problem.empty() ? 0 : 1);
        }
        ::close(fds[1]);
        workers.push_back({pid, fds[0]});
    }

    Tally total;
    for (const Worker& worker : workers) {
        std::string report;
        char buffer[4096];
        for (ssize_t n; (n = ::read(worker.fd, buffer, sizeof buffer)) != 0;) {
            if (n > 0)
                report.append(buffer, static_cast<std::size_t>(n));
            else if (errno != EINTR)
                break;
        }
        ::close(worker.fd);
        int status = 0;
        while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
        }
        EXPECT_TRUE(WIFEXITED(status)) << "a worker died (signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
        int loaded = 0;
        int refused = 0;
        int roundTrips = 0;
        const auto lineEnd = report.find('\n');
        ASSERT_EQ(std::sscanf(report.substr(0, lineEnd).c_str(), "%d %d %d", &loaded, &refused, &roundTrips), 3) << report;
        EXPECT_EQ(report.substr(lineEnd + 1), "");
        total.loaded += loaded;
        total.refused += refused;
        total.roundTrips += roundTrips;
    }
    // Every variant was read, and the mutations exercise both outcomes, or the test proves little.
    EXPECT_EQ(total.loaded + total.refused, kVariants);
    EXPECT_GT(total.loaded, kVariants / 10);
    EXPECT_GT(total.refused, kVariants / 20);
    EXPECT_EQ(total.roundTrips, kVariants / kRoundTripEvery);
}

TEST_F(DamagedDocuments, ReplyLinesOfAnyShape)
{
    Mutator mutator(7);
    std::string name;
    std::string value;
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        for (int n = mutator.pick(24); n > 0; --n) {
            static const char kAlphabet[] = "SWONFMODEAUTPDG-+.019 \t*#\xff";
            line.push_back(kAlphabet[mutator.pick(static_cast<int>(sizeof kAlphabet) - 1)]);
        }
        const model::CZRParamData* record = model::ParseReplyLine(store, line, name, value);
        // Name and value together never exceed the line, and a record always carries the name's
        // start (its own name, compared without case).
        ASSERT_LE(name.size() + value.size(), line.size() + 8) << line;
        if (record) {
            ASSERT_TRUE(plat::StartsWithNoCase(name, record->m_name)) << line;
        }
    }
}

} // namespace
