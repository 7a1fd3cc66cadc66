#include "CZRTERMEDCtrl.h"

#include "CZRTERMEDApp.h"
#include "TerminalEdit.h"

#include <controls/ZRTERMEDMembers.h>

#include <cstring>

namespace {

using namespace ctl::zrtermed;
using comp::Variant;

constexpr ctl::PropertySpec kProperties[] = {
    {LocalEcho, false, 0},
    {EnterOnCharEnabled, false, 0},
    {ReadOnly, false, 0},
};

} // namespace

CZRTERMEDCtrl::CZRTERMEDCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}

CZRTERMEDCtrl::~CZRTERMEDCtrl()
{
    static_cast<CZRTERMEDApp&>(module()).forget(this);
    // The box shows this control's text: it goes first.
    delete m_edit.data();
}

QWidget* CZRTERMEDCtrl::makeWidget(QWidget* parent)
{
    TerminalEdit::Host host{[this] { return flag(LocalEcho); }, [this](int ch) { typed(ch); }};
    m_edit = new TerminalEdit(m_text, std::move(host), parent);
    m_edit->setReadOnly(flag(ReadOnly));
    return m_edit;
}

void CZRTERMEDCtrl::AddString(std::string_view text, bool isNull, bool bufferAdd)
{
    auto& app = static_cast<CZRTERMEDApp&>(module());
    if (!app.beginAddString()) {
        app.queue({this, std::string(text), isNull, bufferAdd});
        return;
    }
    apply(text, isNull, bufferAdd);
    CZRTERMEDApp::PendingText next;
    while (app.nextPending(next))
        next.control->apply(next.text, next.isNull, next.bufferAdd);
}

void CZRTERMEDCtrl::apply(std::string_view text, bool isNull, bool bufferAdd)
{
    if (isNull) {
        m_text.reset();
        if (m_edit)
            m_edit->rebuild();
        return;
    }
    const auto change = m_text.addString(text, bufferAdd);
    if (m_edit)
        m_edit->showChange(change);
}

void CZRTERMEDCtrl::typed(int ch)
{
    const auto t = m_text.type(ch, flag(EnterOnCharEnabled));
    if (t.keyEnterLine)
        fireEvent(KeyEnter, {Variant::fromString(*t.keyEnterLine)});
    if (t.onChar)
        fireEvent(OnChar, {Variant::fromI4(*t.onChar)});
}

comp::Result CZRTERMEDCtrl::callMethod(const comp::MemberInfo& member, std::span<const Variant> args)
{
    switch (member.id) {
    case AddChar: {
        const char c = static_cast<char>(args[0].toI4() & 0xFF);
        AddString(std::string_view(&c, 1), false, true);
        return comp::Result::of(Variant::fromI4(0));
    }
    case ctl::zrtermed::AddString:
        AddString(args[0].toString(), args[0].isNullString(), args[1].toBool());
        return comp::Result::of(Variant::fromI4(0));
    case Clear:
        m_text.clear(args[0].toBool(), args[1].toBool());
        if (args[0].toBool() && m_edit)
            m_edit->rebuild();
        return comp::Result::of(Variant::fromI4(0));
    case GetTextLength:
        return comp::Result::of(Variant::fromI4(m_text.length()));
    case GetText: {
        // The size does not count the terminating zero: callers pass a buffer one byte longer.
        auto* buffer = static_cast<char*>(args[0].toUnknown());
        const int size = args[1].toI4();
        if (buffer && size >= m_text.length())
            std::memcpy(buffer, m_text.text().c_str(), m_text.text().size() + 1);
        return comp::Result::of(Variant::fromI4(m_text.length()));
    }
    case Refresh:
        // Repaint now, not at the next idle moment.
        if (QWidget* w = widget()) {
            if (m_edit)
                m_edit->viewport()->repaint();
            w->repaint();
        }
        return {};
    default:
        return SkeletonControl::callMethod(member, args);
    }
}

void CZRTERMEDCtrl::propertyChanged(comp::DISPID id)
{
    if (id == ReadOnly) {
        if (m_edit)
            m_edit->setReadOnly(flag(ReadOnly));
        if (!flag(ReadOnly)) {
            // Writable again: output and typing go on at the end, which is in view.
            m_text.moveToEnd();
            if (m_edit)
                m_edit->placeCaret();
        }
    }
    SkeletonControl::propertyChanged(id);
}
