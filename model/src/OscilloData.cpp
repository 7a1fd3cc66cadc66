#include "model/OscilloData.h"

#include "model/NumberText.h"
#include "model/StringSplitter.h"

namespace model {

namespace {

// The settings file's comma lists are cut with every filter on, as everywhere else in the store.
int splitFields(std::string_view text, StringSplitter& splitter)
{
    return splitter.Split(text, ',', StringSplitter::kAll);
}

} // namespace

int OscilloHorzInfo::Parse(std::string_view text)
{
    *this = OscilloHorzInfo();
    StringSplitter fields;
    const int count = splitFields(text, fields);
    if (count > 0)
        m_position = ParseLeadingDouble(fields.Token(0));
    if (count > 1)
        m_length = ParseLeadingInt(fields.Token(1));
    if (count > 2)
        m_count = ParseLeadingInt(fields.Token(2));
    return count;
}

int OscilloChannelInfo::Parse(std::string_view text)
{
    *this = OscilloChannelInfo();
    StringSplitter fields;
    const int count = splitFields(text, fields);
    if (count > 0)
        m_number = ParseLeadingInt(fields.Token(0));
    if (count > 1)
        m_text = fields.Token(1);
    if (count > 2)
        m_value1 = ParseLeadingDouble(fields.Token(2));
    if (count > 3)
        m_value2 = ParseLeadingDouble(fields.Token(3));
    if (count > 4)
        m_value3 = ParseLeadingDouble(fields.Token(4));
    if (count > 5)
        m_option1 = ParseLeadingInt(fields.Token(5));
    if (count > 6)
        m_option2 = ParseLeadingInt(fields.Token(6));
    return count;
}

int OscilloDataBlock::ClearSamples()
{
    // Swap rather than clear: a capture can hold hundreds of thousands of rows, and the memory
    // should go back when the document changes.
    std::vector<CaptureSample>().swap(m_samples);
    return 1;
}

} // namespace model
