// Who the five hosted controls are: class ids, ProgIDs, type libraries, interfaces, type names,
// registration flags, misc status and the one dispatch position per control that has no member.
// This is the contract between the host, the registry and the plug-ins: the host creates a control
// by its class id and nothing else, so none of these values may ever change.
#pragma once

#include <component/member_info.h>

#include <cstdint>
#include <span>
#include <string_view>

namespace ctl {

struct Identity {
    std::string_view name;
    std::string_view progId;
    std::string_view clsid;
    std::string_view libId;
    std::string_view dispIid;
    std::string_view eventIid;
    std::string_view typeName;     // resource string 1
    std::string_view propPageName; // resource string 2 (no property page exists)
    std::string_view libName;
    std::string_view helpFile;
    std::string_view coclass;
    std::string_view dispName;
    std::string_view eventName;
    std::uint32_t regFlags;
    std::uint32_t miscStatus;
    std::string_view verbs;
    comp::DISPID reservedDispid;
};

inline constexpr std::uint32_t OLEMISC_CONTROL = 0x20191;        // activate when visible ... recompose on resize
inline constexpr std::uint32_t OLEMISC_CONTROL_NOACTIVATE = 0xA0191; // ... plus ignore activate-when-visible
inline constexpr std::uint32_t REG_INSERTABLE_APARTMENT = comp::kRegInsertable | comp::kRegApartment; // 3
inline constexpr std::uint32_t REG_APARTMENT_ONLY = comp::kRegApartment;                           // 2
inline constexpr std::string_view kGeneralPageName = "General"; // resource string 200
inline constexpr std::string_view kTypeLibVersion = "1.0";
inline constexpr int kTypeLibLcid = 1033;

inline constexpr Identity kZRPARAMIdentity = {
    "ZRPARAM", "ZRPARAM.ZRPARAMCtrl.1", "{20475B9D-1656-4F09-B600-6427DFD5170C}",
    "{F0A20531-61DC-46B4-AEE9-768A0C084ECE}", "{FF69D0A5-FA3C-417E-81E5-1E252F47E1B2}",
    "{32E3763C-E261-4912-97F6-6CCD3721CFC0}", "ZRPARAM Control", "ZRPARAM Property Page", "ZRPARAMLib",
    "ZRPARAM.hlp", "ZRPARAM", "_DZRPARAM", "_DZRPARAMEvents", REG_INSERTABLE_APARTMENT, OLEMISC_CONTROL,
    "Edit,Properties", 5};

inline constexpr Identity kZRCN2Identity = {
    "ZRCN2", "ZRCN2.ZRCN2Ctrl.1", "{D1AA4539-6A83-4396-8FF9-2C353052B00F}",
    "{7E342BCC-F288-4919-85FE-045B77DAFE15}", "{E7A82BEA-A28B-4831-BC8B-77DD86D51060}",
    "{65EAD829-11ED-4C60-8363-27C848269C04}", "ZRCN2 Control", "ZRCN2 Property Page", "ZRCN2Lib", "ZRCN2.hlp",
    "ZRCN2", "_DZRCN2", "_DZRCN2Events", REG_APARTMENT_ONLY, OLEMISC_CONTROL, "Properties", 17};

inline constexpr Identity kZRSLIDERIdentity = {
    "ZRSLIDER", "ZRSLIDER.ZRSLIDERCtrl.1", "{2E96DCE6-E3F9-4C98-8EF8-2B18C8E8F18C}",
    "{E39D37F0-2F09-4E11-B54E-74099077CDA6}", "{A3E5F9BC-826F-40D2-ABAA-A8085B6E51B1}",
    "{6DF1EB46-5779-4374-B1DB-5A98DC72DA27}", "ZRSLIDER Control", "ZRSLIDER Property Page", "ZRSLIDERLib",
    "ZRSLIDER.hlp", "ZRSLIDER", "_DZRSLIDER", "_DZRSLIDEREvents", REG_INSERTABLE_APARTMENT, OLEMISC_CONTROL,
    "Edit,Properties", 4};

inline constexpr Identity kZROSCILLOIdentity = {
    "ZROSCILLO", "ZROSCILLO.ZROSCILLOCtrl.1", "{7025C863-186F-4C39-BD96-292B68D23BF7}",
    "{4AB873A8-BC1A-41DE-B255-F84424B00244}", "{9D64D6C4-9F11-4A1B-BA07-6FEA58A4BCAB}",
    "{0B1F2AD5-E08C-44DF-AAEF-3DD7C6A0AC05}", "ZROSCILLO Control", "ZROSCILLO Property Page", "ZROSCILLOLib",
    "ZROSCILLO.hlp", "ZROSCILLO", "_DZROSCILLO", "_DZROSCILLOEvents", REG_INSERTABLE_APARTMENT,
    OLEMISC_CONTROL_NOACTIVATE, "Edit,Properties", 4};

inline constexpr Identity kZRTERMEDIdentity = {
    "ZRTERMED", "ZRTERMED.ZRTERMEDCtrl.1", "{89B34485-FB3F-4004-B48A-626CDE625317}",
    "{5D696E27-9E53-4628-A2EA-C20018094017}", "{38EAB13E-4D50-4A45-B5CD-EFB8DF09E9E5}",
    "{B9476304-C0E5-45AB-A033-EA2F8D5EC2F3}", "ZRTERMED Control", "ZRTERMED Property Page", "ZRTERMEDLib",
    "ZRTERMED.hlp", "ZRTERMED", "_DZRTERMED", "_DZRTERMEDEvents", REG_INSERTABLE_APARTMENT, OLEMISC_CONTROL,
    "Edit,Properties", 3};

inline constexpr const Identity* kAllIdentities[] = {&kZRPARAMIdentity, &kZRCN2Identity, &kZRSLIDERIdentity,
                                                     &kZROSCILLOIdentity, &kZRTERMEDIdentity};

// The class description the component layer works with: the identity plus the member tables.
constexpr comp::ClassInfo makeClassInfo(const Identity& id, std::span<const comp::MemberInfo> members,
                                        std::span<const comp::EventInfo> events)
{
    return comp::ClassInfo{id.name,     id.clsid,    id.progId,   id.typeName, id.libId,
                           id.libName,  id.helpFile, id.coclass,  id.dispIid,  id.dispName,
                           id.eventIid, id.eventName, id.regFlags, id.miscStatus, id.verbs,
                           id.reservedDispid, members, events};
}

} // namespace ctl
