// Paints the slider: back colour, groove, range fill, thumbs, border and the distance text.
#pragma once

#include <zrslider/SliderModel.h>

#include <QString>

#include <cstdint>

class QPainter;

struct SliderLook {
    std::uint32_t backColor = 0; // COLORREF, system colours resolved
    bool rangeBar = false;
    bool border = false;
    bool rangeShown = false;
    std::int32_t rangeFirst = 0, rangeSecond = 0;
    bool japanese = false;
    QString fontName;
};

// Lays the thumbs out (recording their clip sides) and draws the whole client area.
void PaintSlider(QPainter& p, zrslider::SliderModel& model, const SliderLook& look);
