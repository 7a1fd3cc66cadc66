// The place of one hosted control in a form: it owns the control, holds its window, forwards
// calls by dispatch id and hands the control's events, with its control id, to the form's event
// sink map. Its object name is the control id, so a screen finds it as it would a dialog item.
// A handler may destroy the site (or the form holding it) from inside one of its control's
// events: the control and its window are then deleted later, not under the code that fired.
#pragma once

#include <component/control.h>

#include <QWidget>

#include <functional>
#include <memory>
#include <span>

namespace talverin {

class EventSinkMap;

class ControlSite : public QWidget, private comp::EventSink {
public:
    ControlSite(QWidget* parent, int controlId, std::unique_ptr<comp::Control> control);
    ~ControlSite() override;

    int controlId() const { return m_controlId; }
    comp::Control* control() const { return m_control.get(); }

    // A call by id. Failures come back as the status (the control layer logged them).
    comp::Result invoke(comp::DISPID id, comp::InvokeKind kind, std::span<const comp::Variant> args = {});
    comp::Result invoke(comp::DISPID id, comp::InvokeKind kind, std::initializer_list<comp::Variant> args)
    {
        return invoke(id, kind, std::span<const comp::Variant>(args.begin(), args.size()));
    }
    // The status of the last call through this site.
    comp::HRESULT lastStatus() const { return m_lastStatus; }

    // Events go to this map (nullptr: dropped). The map must outlive the site or be reset.
    void setEventSinkMap(const EventSinkMap* map) { m_sinkMap = map; }

    // Places the site and sizes the control's window to it at once, shown or not. The first
    // placement (the form template's) is taken as it is; every later one goes through the
    // control's geometry filter, which may refuse or adjust it.
    void place(const QRect& rect);

    // The site of control `id` among the children of `form` (GetDlgItem), or nullptr.
    static ControlSite* find(const QWidget* form, int id);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onEvent(comp::Control& source, comp::DISPID eventId, std::span<const comp::Variant> args) override;

    int m_controlId;
    std::unique_ptr<comp::Control> m_control;
    const EventSinkMap* m_sinkMap = nullptr;
    comp::HRESULT m_lastStatus = comp::S_OK;
    bool m_placed = false;
    int m_firing = 0; // events of the control being delivered right now
};

} // namespace talverin
