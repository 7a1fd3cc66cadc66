#include "Recorder.h"

#include <component/plugin_api.h>
#include <controls/ZRCN2Members.h>
#include <controls/ZROSCILLOMembers.h>
#include <controls/ZRPARAMMembers.h>
#include <controls/ZRSLIDERMembers.h>
#include <controls/ZRTERMEDMembers.h>

#include <map>

namespace {

std::vector<RecordedCall> g_calls;

comp::Variant recorderAnswer(const comp::MemberInfo& m);

const comp::ClassInfo* classFor(const comp::Guid& clsid)
{
    for (const comp::ClassInfo* info : {&ctl::zrparam::kClass, &ctl::zrcn2::kClass, &ctl::zrslider::kClass,
                                        &ctl::zroscillo::kClass, &ctl::zrtermed::kClass})
        if (comp::Guid::fromString(info->clsid) == clsid)
            return info;
    return nullptr;
}

class RecordingControl : public comp::Control {
public:
    explicit RecordingControl(const comp::ClassInfo& info) : m_info(info) { ++s_live; }
    ~RecordingControl() override { --s_live; }
    static inline int s_live = 0;
    const comp::ClassInfo& classInfo() const override { return m_info; }

    void fire(comp::DISPID id, std::span<const comp::Variant> args) { fireEvent(id, args); }

protected:
    comp::Result dispatch(const comp::MemberInfo& m, comp::InvokeKind kind,
                          std::span<const comp::Variant> args) override
    {
        g_calls.push_back({std::string(m_info.name), m.id, kind, {args.begin(), args.end()}});
        if (kind == comp::InvokeKind::PropertyPut) {
            m_props[m.id] = args[0];
            return {};
        }
        if (kind == comp::InvokeKind::PropertyGet && m_props.count(m.id))
            return comp::Result::of(m_props[m.id]);
        return comp::Result::of(recorderAnswer(m));
    }

    // Every property is kept, so the tests can see what a template loaded.
    void exchangeProperties(comp::PropExchange& px) override
    {
        for (const comp::MemberInfo& m : m_info.members) {
            if (m.kind != comp::MemberKind::Property)
                continue;
            if (px.mode() == comp::PropExchange::Mode::Load && m.type == comp::VarType::I4) {
                std::int32_t v = m_props.count(m.id) ? m_props[m.id].toI4() : 0;
                px.exchange(m.name, v, 0);
                m_props[m.id] = comp::Variant::fromI4(v);
            }
        }
    }

private:
    const comp::ClassInfo& m_info;
    std::map<comp::DISPID, comp::Variant> m_props;
};

class Factory : public comp::ClassFactory {
public:
    const comp::ClassInfo* info = nullptr;
    comp::HRESULT createInstance(comp::Control** out) noexcept override
    {
        *out = new RecordingControl(*info);
        return comp::S_OK;
    }
};

Factory g_factories[5];

comp::Variant recorderAnswer(const comp::MemberInfo& m)
{
    switch (m.type) {
    case comp::VarType::I4: return comp::Variant::fromI4(1000 + m.id);
    case comp::VarType::I2: return comp::Variant::fromI2(7);
    case comp::VarType::Bool: return comp::Variant::fromBool(true);
    case comp::VarType::BStr: return comp::Variant::fromString(std::string(m.name) + " value");
    case comp::VarType::IntPtr: return comp::Variant::fromIntPtr(0x7f0000000000 + m.id);
    case comp::VarType::Unknown: return comp::Variant::fromUnknown(&g_calls);
    default: return {};
    }
}

} // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT comp::HRESULT DllGetClassObject(const comp::Guid* clsid, comp::ClassFactory** factory)
{
    *factory = nullptr;
    const comp::ClassInfo* info = clsid ? classFor(*clsid) : nullptr;
    if (!info)
        return comp::CLASS_E_CLASSNOTAVAILABLE;
    for (Factory& f : g_factories) {
        if (!f.info || f.info == info) {
            f.info = info;
            *factory = &f;
            return comp::S_OK;
        }
    }
    return comp::CLASS_E_CLASSNOTAVAILABLE;
}

EXPORT comp::HRESULT DllCanUnloadNow() { return RecordingControl::s_live == 0 ? comp::S_OK : comp::S_FALSE; }
EXPORT comp::HRESULT DllRegisterServer() { return comp::S_OK; }
EXPORT comp::HRESULT DllUnregisterServer() { return comp::S_OK; }
EXPORT comp::HRESULT TalverinModuleInit() { return comp::S_OK; }
EXPORT void TalverinModuleExit() {}

EXPORT const std::vector<RecordedCall>* RecorderCalls() { return &g_calls; }
EXPORT void RecorderClear() { g_calls.clear(); }
EXPORT void RecorderFire(comp::Control* control, comp::DISPID eventId, const comp::Variant* args, int count)
{
    static_cast<RecordingControl*>(control)->fire(eventId, std::span<const comp::Variant>(args, static_cast<std::size_t>(count)));
}
