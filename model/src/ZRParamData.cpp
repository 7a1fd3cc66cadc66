#include "model/ZRParamData.h"

#include "model/NumberText.h"
#include "model/RangeList.h"
#include "model/StringSplitter.h"
#include "TextUtil.h"

#include <algorithm>
#include <cmath>

namespace model {

namespace {

constexpr unsigned kLineFlags =
    StringSplitter::kRemoveSpaces | StringSplitter::kRemoveTabs | StringSplitter::kCollapseSpaces;
constexpr char kAttributeLetters[] = "WRCPFLT";

} // namespace

std::string CapValueText(std::string_view text)
{
    return std::string(CapChars(text, kMaxTextValue));
}

int IsNumericText(std::string_view text)
{
    for (const char c : CutAtNul(text)) {
        const bool ok = (c >= '0' && c <= '9') || c == '(' || c == ')' || c == '+' || c == '-' || c == '.';
        if (!ok)
            return 0;
    }
    return 1;
}

unsigned GetAttributeBits(std::string_view letters, const char* second)
{
    const std::string_view source = CutAtNul(second ? std::string_view(second) : letters);
    unsigned bits = 0;
    for (const char c : source) {
        for (unsigned bit = 0; bit < sizeof kAttributeLetters - 1; ++bit) {
            if (c == kAttributeLetters[bit])
                bits |= 1u << bit;
        }
    }
    return bits;
}

CZRParamData::CZRParamData()
{
    Init();
}

CZRParamData::CZRParamData(std::string_view definitionLine)
{
    Init();
    ParseDefinitionLine(definitionLine);
    m_dependents.reset();
    m_allDependents = 0;
}

CZRParamData::~CZRParamData() = default;

void CZRParamData::Init()
{
    Clear();
}

void CZRParamData::Clear()
{
    m_attributes.clear();
    m_name.clear();
    m_sequence = 0;
    m_unit.clear();
    m_defaultValue = 0.0;
    m_label.clear();
    m_range.clear();
    m_stepMode = 1;
    m_stepMedium = m_stepCoarse = m_stepFine = 0.0;
    m_currentValue = 0.0;
    m_status = 0;
    m_alternative = 0;
    // The texts and the reference value go too: a record read again from a numeric line must not
    // keep the text value of its previous definition (it would be written out as the default).
    m_defaultText.clear();
    m_currentText.clear();
    m_dependents.reset();
    m_allDependents = 0;
    m_dependencyMark = 0;
    m_decimals = 0;
    m_treeUseCount = 0;
    m_referenceValue = 0.0;
    m_referenceText.clear();
    m_singleStep = 0.0;
    m_stepKeys = 1;
}

int CZRParamData::ParseDefinitionLine(std::string_view text)
{
    Clear();
    StringSplitter splitter;
    const int count = splitter.Split(text, ',', kLineFlags);
    auto field = [&](int index) { return std::string(TrimSpace(splitter.Token(index))); };

    if (count < 1)
        return 0;
    m_attributes = field(0);
    if (count < 2)
        return 0;
    m_name = field(1);
    if (count < 3)
        return 0;
    m_sequence = ParseLeadingInt(field(2));
    if (count < 4)
        return 0;
    m_unit = field(3);
    if (count < 5)
        return 0;
    const std::string defaultField = field(4);
    if (!defaultField.empty() && IsNumericText(defaultField)) {
        m_defaultValue = m_currentValue = m_referenceValue = ParseLeadingDouble(defaultField);
    } else {
        // A text default (or none, for write-only commands) makes the parameter text-valued.
        m_defaultText = m_currentText = m_referenceText = std::string(CapChars(defaultField, kMaxTextValue));
        m_defaultValue = m_currentValue = m_referenceValue = kNoValue;
    }
    if (count < 6)
        return 0;
    // A garbled decimals field must not ask for negative or absurd precision downstream.
    m_decimals = std::clamp(ParseLeadingInt(field(5)), 0, kMaxDecimals);
    if (count < 7)
        return 0;
    m_label = field(6);
    if (count < 8)
        return 0;
    m_range = field(7);
    SelectCurrentAlternative(1);
    if (count < 9)
        return 0;
    const std::string modeField = field(8);
    if (count < 10) {
        if (!modeField.empty()) {
            m_stepMode = ParseLeadingInt(modeField);
            if (m_stepMode == 0)
                m_stepKeys = 0;
        }
        return 0;
    }
    deriveSteps(modeField, field(9));
    if (count < 11)
        return 0;
    const std::string currentField = field(10);
    // An empty current field leaves the current value at the default: reading it as 0 would make
    // the parameter look changed and have 0 sent to the driver on the next connection.
    if (!currentField.empty()) {
        if (IsNumericText(currentField)) {
            m_currentValue = ParseLeadingDouble(currentField);
        } else {
            m_currentText = std::string(CapChars(currentField, kMaxTextValue));
            m_currentValue = kNoValue;
        }
    }
    SelectCurrentAlternative(1);
    if (count < 12)
        return 0;
    m_status = ParseLeadingInt(field(11));
    return 1;
}

void CZRParamData::ReadKeyFields(std::string_view text, std::string& letters, std::string& name, std::string& label)
{
    // The line filtered as Split filters it, then only these three fields cut out: a tree of
    // thousands of lines makes no other field.
    const std::string filtered = StringSplitter::Filter(text, kLineFlags);
    const std::string_view line(filtered);
    std::string* const wanted[] = {&letters, &name, nullptr, nullptr, nullptr, nullptr, &label};
    std::size_t start = 0; // npos once the line has no more fields
    for (std::string* field : wanted) {
        std::string_view value;
        if (start != std::string_view::npos) {
            const std::size_t comma = line.find(',', start);
            value = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
            start = comma == std::string_view::npos ? std::string_view::npos : comma + 1;
        }
        if (field)
            *field = TrimSpace(value);
    }
}

void CZRParamData::deriveSteps(std::string_view modeField, std::string_view stepField)
{
    const bool modeGiven = !modeField.empty() && modeField.front() != '\r';
    if (modeGiven) {
        m_stepMode = ParseLeadingInt(modeField);
        if (m_stepMode == 0)
            m_stepKeys = 0;
    }

    if (stepField.find('/') != std::string_view::npos) {
        StringSplitter steps;
        const int n = steps.Split(stepField, '/', StringSplitter::kAll);
        const double s0 = ParseLeadingDouble(steps.Token(0));
        m_stepFine = s0;
        m_stepMedium = s0 * 10;
        m_stepCoarse = s0 * 100;
        if (n > 1) {
            m_stepMedium = ParseLeadingDouble(steps.Token(1));
            m_stepCoarse = m_stepMedium * 10;
        }
        if (n > 2)
            m_stepCoarse = ParseLeadingDouble(steps.Token(2));
        if (!modeGiven)
            m_stepMode = 1;
        return;
    }

    const double x = ParseLeadingDouble(stepField);
    m_singleStep = x;
    if (modeGiven && m_stepMode == 0) {
        m_stepFine = m_stepMedium = m_stepCoarse = x;
        return;
    }

    CRangeList range;
    range.Parse(m_range);
    bool singlePoint = false;
    if (range.IsEmpty()) {
        // No range (write-only commands): there is nothing to clamp to; derive the steps from the
        // step itself as if the range started at 0.
        if (x >= 10) {
            m_stepFine = x * 0.1;
            m_stepMedium = x;
            m_stepCoarse = x * 10;
        } else {
            m_stepFine = x;
            m_stepMedium = x * 10;
            m_stepCoarse = x * 100;
        }
        raiseToDisplayFloor();
    } else {
        const double minimum = range.Minimum();
        const double maximum = range.Maximum();
        if (minimum == x && x == maximum) {
            m_stepMode = 0;
            singlePoint = true;
        } else {
            if (x - minimum >= 10) {
                m_stepFine = x * 0.1;
                m_stepMedium = x;
                m_stepCoarse = x * 10;
            } else {
                m_stepFine = x;
                m_stepMedium = x * 10;
                m_stepCoarse = x * 100;
            }
            if (m_stepCoarse == maximum) {
                m_stepCoarse *= 0.1;
                if (m_stepFine * 0.1 >= minimum) {
                    m_stepFine *= 0.1;
                    m_stepMedium *= 0.1;
                } else {
                    m_stepMedium *= 0.5;
                }
            }
            raiseToDisplayFloor();
        }
        if (minimum > m_stepFine)
            m_stepFine = minimum;
        if (minimum > m_stepMedium)
            m_stepMedium = minimum;
        if (maximum < m_stepCoarse)
            m_stepCoarse = maximum;
        if (maximum < m_stepMedium)
            m_stepMedium = maximum;
    }

    if (modeGiven || singlePoint)
        return;
    // Steps that display alike are no use as three separate keys: fall back to one step.
    auto stepText = [&](double value) {
        return m_decimals == 0 ? FormatInt(TruncateToInt(value)) : FormatFixed(value, m_decimals);
    };
    const std::string fine = stepText(m_stepFine);
    const std::string coarse = stepText(m_stepCoarse);
    const std::string medium = stepText(m_stepMedium);
    const bool sameLength = fine.size() == coarse.size() && coarse.size() == medium.size();
    if ((m_decimals == 0 && sameLength) || medium == fine || coarse == medium) {
        m_stepMode = 0;
        m_stepFine = m_stepMedium = m_stepCoarse = x;
    } else {
        m_stepMode = 1;
    }
}

void CZRParamData::raiseToDisplayFloor()
{
    // A step finer than the last shown digit (0.1 for an integer) moves nothing the user can see.
    // Steps of 0 (none given) and the negative steps of a negative-only range stay as they are.
    const double floor = std::pow(10.0, -m_decimals);
    for (double* step : {&m_stepFine, &m_stepMedium, &m_stepCoarse}) {
        if (*step > 0 && *step < floor * (1 - 1e-9))
            *step = floor;
    }
}

std::string CZRParamData::FormatDefinitionLine()
{
    std::string defaultField;
    if (!m_defaultText.empty()) {
        m_decimals = 0;
        defaultField = m_defaultText;
    } else if (!IsNoValue(m_defaultValue)) {
        defaultField = FormatValue(m_defaultValue);
    }
    // else: no default at all (a write-only command). Written as "0.00" it would read back as a
    // numeric parameter whose write command carries a value.
    // Only the medium step is written: a line read back derives the other two from it again.
    const std::string fields[] = {m_attributes, m_name, FormatInt(m_sequence), m_unit, defaultField,
                                  FormatInt(m_decimals), m_label, m_range, FormatInt(m_stepMode),
                                  FormatValue(m_stepMedium), GetValueText(), FormatInt(m_status)};
    return JoinText(fields, ',');
}

std::string CZRParamData::FormatValue(double value) const
{
    return m_decimals > 0 ? FormatFixed(value, m_decimals) : FormatTruncated(value);
}

std::string CZRParamData::GetValueText() const
{
    if (IsNoValue(m_currentValue))
        return m_currentText;
    if (m_decimals > 0)
        return FormatFixed(m_currentValue, m_decimals);
    // Rounded to one decimal first and then cut, so 2.96 shows as 3 but 2.94 as 2.
    std::string text = FormatFixed(m_currentValue, 1);
    const auto point = text.find('.');
    if (point != std::string::npos)
        text.erase(point);
    return text;
}

std::string CZRParamData::GetDisplayText() const
{
    if (!m_defaultText.empty())
        return m_defaultText;
    if (!IsNoValue(m_referenceValue))
        return FormatValue(m_defaultValue);
    return std::string();
}

int CZRParamData::IsBoolean() const
{
    return m_decimals == 0 && (m_range == "0-1" || m_range == "0/1") ? 1 : 0;
}

int CZRParamData::HasAttributeL() const
{
    return m_attributes.find('L') != std::string::npos ? 1 : 0;
}

int CZRParamData::SelectAlternative(int store, double value)
{
    int index = 0;
    if (m_range.find('/') != std::string::npos) {
        index = -1;
        StringSplitter items;
        const int count = items.Split(m_range, '/', kLineFlags);
        for (int i = 0; i < count; ++i) {
            CRangeList item;
            item.Parse(items.Token(i));
            if (item.Contains(value)) {
                index = i;
                break;
            }
        }
    }
    if (store)
        m_alternative = index;
    return index;
}

bool CZRParamData::IsOutOfRange(double value) const
{
    if (IsNoValue(value) || m_range.empty() || m_range.front() == '*')
        return false;
    StringSplitter items;
    if (items.ClassifyItems(m_range) & StringSplitter::kItemsText)
        return false;
    CRangeList range;
    range.Parse(m_range);
    return !range.IsEmpty() && !range.Contains(value);
}

int CZRParamData::SelectCurrentAlternative(int store)
{
    return SelectAlternative(store, m_currentValue);
}

std::string CZRParamData::GetReadCommand() const
{
    return (m_attributes.find('R') != std::string::npos ? "?" : "") + m_name + "\r";
}

} // namespace model
