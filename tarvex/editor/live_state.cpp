#include "framework/graphics/igraphics.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/drawing_helpers.h"
#include "tarvex/editor/slot_kind_style.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvex {
namespace {

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }
double Clamp01(double v) { return std::clamp(Finite(v), 0.0, 1.0); }

void DrawMeter(IGraphics& g, int i, const char* label, float linearPeak) {
  const float y = 188.f + 22.f * i;
  const double peak = std::isfinite(linearPeak) && linearPeak > 0.f ? linearPeak : 0.0;
  const double level = peak <= 0.0 ? -120.0 : 20.0 * std::log10(peak);
  const bool clipping = peak >= 1.0;
  DrawLabel(g, label, IRect(882, y - 7, 916, y + 8), 10, kColorSlate, kAlignLeft);
  g.FillRoundRect(kColorLine, IRect(922, y - 3, 1064, y + 3), 3.f, nullptr);
  const double fraction = std::clamp((level + 60.0) / 60.0, 0.0, 1.0);
  if (fraction > 0.0) {
    const IColor& color = clipping ? kColorAmber : i == 0 ? kColorBlue : kColorTeal;
    g.FillRoundRect(color, IRect(922, y - 3, 922 + 142 * static_cast<float>(fraction), y + 3), 3.f,
                    nullptr);
  }
  char text[16];
  if (level <= -90.0)
    std::snprintf(text, sizeof text, "-inf");
  else
    std::snprintf(text, sizeof text, "%.1f", level);
  DrawLabel(g, text, IRect(1071, y - 7, 1132, y + 8), 11, clipping ? kColorAmber : kColorIvory,
            kAlignRight);
}

} // namespace

LiveState::LiveState(const IRect& bounds, EditorPlugin& plugin, std::shared_ptr<ViewState> view)
    : IControl(bounds), plugin_(plugin), view_(std::move(view)) {
  SetIgnoreMouse(true);
}

bool LiveState::IsDirty() {
  SetDirty(false);
  return IControl::IsDirty();
}

void LiveState::Draw(IGraphics& g) {
  DrawBox(g, GetRECT(), kColorLine);
  EngineSnapshot snapshot;
  plugin_.ReadSnapshot(snapshot);
  EngineMeters meters;
  plugin_.ReadMeters(meters);

  DrawLabel(g, "ENGINE / FILTER BANK", IRect(882, 152, 1132, 180), 12, kColorSlate, kAlignLeft);
  DrawMeter(g, 0, "IN", meters.input);
  DrawMeter(g, 1, "WET", meters.filtered);
  DrawMeter(g, 2, "OUT", meters.output);

  char text[96];
  std::snprintf(text, sizeof text, "%d MANUAL / %d FIXED / %d LIVE", snapshot.manualCount,
                snapshot.fixedCount, snapshot.liveCount);
  DrawLabel(g, text, IRect(882, 245, 1132, 265), 11, kColorTeal, kAlignLeft);

  const int s = std::clamp(view_->selectedSlot, 0, kSlotCount - 1);
  const int kind = snapshot.slotKind[s];
  std::snprintf(text, sizeof text, "SLOT %02d / %s / %s", s + 1, KindText(kind),
                ChannelText(snapshot.slotChannel[s]));
  DrawLabel(g, text, IRect(882, 265, 1132, 285), 11, KindColor(kind), kAlignLeft);

  if (kind == kSlotEmpty) {
    DrawLabel(g, "STABLE SLOT / NO APPLIED FILTER", IRect(882, 285, 1132, 305), 10, kColorSlate,
              kAlignLeft);
  } else {
    std::snprintf(text, sizeof text, "Q %.2f / CUT %.1f dB / %.0f%%", Finite(snapshot.slotQ[s]),
                  std::max(Finite(snapshot.slotDepth[s]), 0.0),
                  Clamp01(snapshot.slotConfidence[s]) * 100.0);
    DrawLabel(g, text, IRect(882, 285, 1132, 305), 11, kColorIvory, kAlignLeft);
  }

  if (snapshot.candidateFrequency > 0.f && snapshot.signal)
    std::snprintf(text, sizeof text, "CANDIDATE %.0f Hz / %.0f%%",
                  Finite(snapshot.candidateFrequency),
                  Clamp01(snapshot.candidateConfidence) * 100.0);
  else
    std::snprintf(text, sizeof text, "NO CURRENT CANDIDATE");
  DrawLabel(g, text, IRect(882, 305, 1132, 325), 11, kColorSlate, kAlignLeft);

  g.DrawLine(kColorLine, 882, 350, 1132, 350, nullptr, 1.f);
  auto historyY = [&](int j) {
    return 350.f - 20.f * static_cast<float>(Clamp01(snapshot.activeHistory[j] / 24.0));
  };
  for (int i = 1; i < kDisplayBinCount; ++i)
    g.DrawLine(kColorTeal, 882 + (i - 1) * 250.f / 255.f, historyY(i - 1), 882 + i * 250.f / 255.f,
               historyY(i), nullptr, 1.2f);
  if (snapshot.learning)
    DrawLabel(g, "LEARNING / ACTIVE FILTER HISTORY", IRect(882, 352, 1132, 370), 10, kColorAmber,
              kAlignLeft);
  else
    DrawLabel(g, "ACTIVE FILTER HISTORY / 0 - 24", IRect(882, 352, 1132, 370), 10, kColorSlate,
              kAlignLeft);
}

} // namespace tarvex
