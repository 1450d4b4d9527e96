#include "framework/graphics/ipattern.h"

#include <cmath>

namespace plugkit::igraphics {

IPattern::IPattern(const IColor& color) : type(EPatternType::Solid) {
  stops[0] = {color, 0.f};
  nStops = 1;
}

IPattern IPattern::CreateLinearGradient(float x1, float y1, float x2, float y2,
                                        std::initializer_list<IColorStop> stopList) {
  IPattern p(EPatternType::Linear);
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double len = std::sqrt(dx * dx + dy * dy);
  const double a = std::atan2(dx, dy);
  const double c = std::cos(a) / len;
  const double s = std::sin(a) / len;
  p.transform = {c, s, -s, c, -(x1 * c - y1 * s), -(y1 * c + x1 * s)};
  for (const IColorStop& stop : stopList) p.AddStop(stop.color, stop.offset);
  return p;
}

void IPattern::AddStop(const IColor& color, float offset) {
  if (nStops < kMaxStops) stops[nStops++] = {color, offset};
}

} // namespace plugkit::igraphics
