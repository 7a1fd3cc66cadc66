// The CN2 pin row control: its properties (all persisted), its members and events. The row's
// rules live in zrcn2::PinRowModel; the window (PinRowWidget) renders them and reports what the
// user does, which this class turns into the model's steps and the host's events.
#pragma once

#include <skeleton/SkeletonControl.h>
#include <zrcn2/PinRowModel.h>

#include <platform/types.h>

#include <QPointer>

namespace ctl {
struct HelpInfo;
}

class PinRowWidget;

class CZRCN2Ctrl : public ctl::SkeletonControl {
public:
    explicit CZRCN2Ctrl(ctl::ControlModule& module);
    ~CZRCN2Ctrl() override;

    // A row's height stays a multiple of 3.
    QRect filterGeometry(const QRect& requested, const QRect& current) override;

    zrcn2::PinRowModel& model() { return m_model; }
    const zrcn2::PinRowModel& model() const { return m_model; }
    // A colour property as COLORREF (system colours not yet resolved).
    plat::COLORREF color(comp::DISPID id) const;
    int borderStyle() const;
    // The last DisableControl mode (0x2 button, 0x4 function box, 0x8 value box).
    plat::DWORD disabledParts() const { return m_disabledParts; }

    // What the user did, reported by the window.
    void buttonClicked();
    void boxTyped(zrcn2::PinRowModel::Box box);
    void boxLeft(zrcn2::PinRowModel::Box box);
    void activated();
    void deactivated();
    void contextMenuRequested(int childId, plat::HWND child);
    // F1: true when the host showed help.
    bool helpRequested(ctl::HelpInfo& info);

protected:
    comp::Result callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args) override;
    void propertyChanged(comp::DISPID id) override;
    void propertiesChanged() override;
    QWidget* makeWidget(QWidget* parent) override;

private:
    std::int32_t exportLine(void* buffer, std::int32_t size, bool withNumbers);
    void setModifyFlg(bool modify);
    // The model's texts and numbers back into the property store, without change effects.
    void storeProperties();
    void fire(comp::DISPID eventId, std::initializer_list<comp::Variant> args);

    zrcn2::PinRowModel m_model;
    QPointer<PinRowWidget> m_row;
    plat::DWORD m_disabledParts = 0;
};
