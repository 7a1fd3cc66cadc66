#include "zroscillo/TraceMapper.h"


namespace zroscillo {

TraceMapper::TraceMapper(const TraceSettings& settings)
    : m_s(settings),
      m_drawable(settings.samplesPerScreen != 0 && settings.scale != 0.0 && std::isfinite(settings.scale)
                 && std::isfinite(settings.timeFactor) && settings.height > 0),
      m_zeroLine(truncated((10000.0 - settings.zeroPosition) * settings.height * 0.00005)),
      m_xPerRow(m_drawable ? static_cast<double>(settings.bitmapWidth) * settings.timeFactor / settings.samplesPerScreen
                           : 0.0),
      m_yPerUnit(m_drawable ? settings.height / (settings.scale * 20) : 0.0)
{
}

} // namespace zroscillo
