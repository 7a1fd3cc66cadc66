// The terminal edit control: terminal output into its text (AddString, AddChar, Clear), the text
// for the host (GetTextLength, GetText), typing reported as OnChar and KeyEnter, and the box's
// read-only state. None of its properties is persisted. The text lives here; the box, once made,
// only shows it.
#pragma once

#include <skeleton/SkeletonControl.h>
#include <zrtermed/TerminalText.h>

#include <QPointer>

#include <string_view>

class TerminalEdit;

class CZRTERMEDCtrl : public ctl::SkeletonControl {
public:
    explicit CZRTERMEDCtrl(ctl::ControlModule& module);
    ~CZRTERMEDCtrl() override;

    // AddString: a null string empties the text and the typed line.
    void AddString(std::string_view text, bool isNull, bool bufferAdd);

protected:
    comp::Result callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args) override;
    void propertyChanged(comp::DISPID id) override;
    QWidget* makeWidget(QWidget* parent) override;

private:
    void apply(std::string_view text, bool isNull, bool bufferAdd);
    void typed(int ch);
    bool flag(comp::DISPID id) const { return property(id).toBool(); }

    zrtermed::TerminalText m_text;
    QPointer<TerminalEdit> m_edit;
};
