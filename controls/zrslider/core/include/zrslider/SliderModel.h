// The slider's cursors without a window: the list (drawing order, the last on top), value <->
// pixel in both directions with 128-bit intermediates, the hit test, the tenth-of-range click
// step, the drag with its Escape restore, and the events these produce. The control turns the
// host's calls and the mouse into calls of this class and the events into its own events.
#pragma once

#include "zrslider/CursorRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace zrslider {

// Thumb shapes (Arrow): horizontal bars 32 (pointing down) or 16 (up), vertical 64 (right) or
// 128 (left); 255 is a rectangle either way.
inline constexpr int kArrowDown = 32;
inline constexpr int kArrowUp = 16;
inline constexpr int kArrowRight = 64;
inline constexpr int kArrowLeft = 128;
inline constexpr int kArrowRectangle = 255;

enum class EventKind { Changing, Changed, DoubleClick };

struct SliderEvent {
    EventKind kind;
    std::uint32_t idWord; // the whole id word (double click: its low 16 bits)
    std::int64_t value;
    int flags = 0, x = 0, y = 0; // double click only
};

class SliderModel {
public:
    using Sink = std::function<void(const SliderEvent&)>;

    void setSink(Sink sink) { m_sink = std::move(sink); }

    // The client size; the half thumb size follows from it.
    void setClientSize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }
    void setVertical(bool vertical) { m_vertical = vertical; }
    bool vertical() const { return m_vertical; }
    void setArrow(int arrow) { m_arrow = arrow; }
    int arrow() const { return m_arrow; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool enabled() const { return m_enabled; }

    // Half of the height (horizontal) or the width (vertical).
    int halfSize() const;
    // The width (horizontal) or the height (vertical).
    int barLength() const;

    // ---- the list -----------------------------------------------------------------------------
    const std::vector<std::unique_ptr<CursorRecord>>& cursors() const { return m_cursors; }
    // By the low 16 bits of `id`; nullptr when there is none.
    CursorRecord* find(std::int64_t id) const;

    // AddCursor: the cursor with that id or a new one at the end; every field set again.
    CursorRecord& addCursor(std::uint32_t idWord, std::int64_t value, std::int64_t minimum, std::int64_t maximum,
                            std::uint32_t color);
    // ShowCursor: the id word after the change, 0 when missing.
    std::uint32_t showCursor(std::int64_t id, int mode);
    // New minimum, maximum and span, then the value and its pixel (ChangeRange).
    void changeRange(CursorRecord& c, std::int64_t minimum, std::int64_t maximum, std::int64_t value) const;
    // Each cursor that the host has not placed gets its pixel from its value again.
    void refreshPixels() const;
    // After a resize: nothing is placed by the host any more.
    void clearExplicitPositions() const;

    // ---- conversions -------------------------------------------------------------------------
    // value := v, pixel from it. Minimum = maximum: pixel 0 and the value is left as it was.
    void placeByValue(CursorRecord& c, std::int64_t v) const;
    // The mouse coordinate `p` along the bar gives the pixel and the value.
    void placeByPixel(CursorRecord& c, std::int64_t p) const;

    // ---- the mouse ---------------------------------------------------------------------------
    // Button press at (x, y). True when a drag began (the window captures the mouse and the
    // keyboard until the release).
    bool press(int x, int y);
    void move(int x, int y);
    // Ends the drag; true when one was in progress.
    bool release(int x, int y);
    // Escape during a drag: the value at the drag's start comes back and the drag ends (the
    // capture stays until the release). True when that happened.
    bool escape();
    // True when a thumb took the double click.
    bool doubleClick(int x, int y, int flags);
    bool dragging() const { return m_drag != nullptr; }
    bool captured() const { return m_captured; }

private:
    CursorRecord* hitTest(int x, int y) const;
    void moveToTop(CursorRecord* c);
    void step(CursorRecord& c, int x, int y);
    void notify(EventKind kind, const CursorRecord& c, std::int64_t value) const;

    std::vector<std::unique_ptr<CursorRecord>> m_cursors;
    Sink m_sink;
    int m_width = 0;
    int m_height = 0;
    bool m_vertical = false;
    int m_arrow = kArrowRectangle;
    bool m_enabled = true;
    CursorRecord* m_drag = nullptr;
    CursorRecord m_dragStart; // the dragged cursor's fields when the drag began
    bool m_captured = false;
};

} // namespace zrslider
