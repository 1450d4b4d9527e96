#include "tarvex/editor/filter_graph.h"

#include "framework/graphics/igraphics.h"
#include "tarvex/editor/drawing_helpers.h"
#include "tarvex/editor/param_rules.h"
#include "tarvex/editor/slot_kind_style.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvex {

using plugkit::igraphics::IGraphics;
using plugkit::igraphics::IMouseMod;
using plugkit::igraphics::IRect;

namespace {

constexpr float kMaxCutDb = 36.f;
constexpr float kResponseHeight = FilterGraph::kResponseBottom - FilterGraph::kResponseTop;
constexpr float kSpectrumFloorDb = -96.f;
constexpr float kPickDistance = 20.f;
constexpr float kResetDistance = 14.f;
constexpr double kQStep = 1.12;
constexpr int kCurvePoints = 768;
const IColor kGraphShade{255, 38, 53, 59};

float Finite(double v, double fallback) {
  return static_cast<float>(std::isfinite(v) ? v : fallback);
}

} // namespace

FilterGraph::FilterGraph(const IRect& bounds, EditorPlugin& plugin, std::shared_ptr<ViewState> view)
    : IControl(bounds), plugin_(plugin), view_(std::move(view)) {
  SetTooltip(
      "Real input/output FFT above; actual applied wet filter response below, excluding "
      "Input/Output trim and Mix. Hollow selected Manual handle is the requested centre/cut. Drag "
      "frequency/depth; Shift is finer, wheel changes Q. Learned filters are read-only here.");
  curveFrequencies_.reserve(kCurvePoints + 1 + kEngineChannels * kSlotCount * 9);
}

double FilterGraph::TopFrequency() const {
  return std::max(40.0, std::min(0.49 * snapshot_.sampleRate, 20000.0));
}

double FilterGraph::PlottedFrequency(double frequency) const {
  return std::clamp(frequency, 20.0, TopFrequency());
}

float FilterGraph::FreqToX(double frequency) const {
  const double top = TopFrequency();
  const double f = PlottedFrequency(std::isfinite(frequency) ? frequency : 20.0);
  return kPlotLeft + static_cast<float>(kPlotWidth * std::log(f / 20.0) / std::log(top / 20.0));
}

float FilterGraph::DepthToY(double depth) {
  const double d = std::isfinite(depth) ? depth : 0.0;
  return kResponseTop + kResponseHeight * static_cast<float>(std::clamp(d / kMaxCutDb, 0.0, 1.0));
}

bool FilterGraph::IsDirty() {
  plugin_.ReadSnapshot(snapshot_);
  SetDirty(false);
  return IControl::IsDirty();
}

double FilterGraph::SlotValue(int slot, int field) const {
  return PlainValue(plugin_.Delegate(), SlotParamIndex(slot, field));
}

bool FilterGraph::SlotEnabled(int slot) const { return SlotValue(slot, kSlotEnabled) >= 0.5; }

void FilterGraph::SetParamFromUI(int paramIdx, double value, bool withGesture) {
  auto& delegate = plugin_.Delegate();
  const plugkit::IParam* param = delegate.GetParam(paramIdx);
  if (!param) return;
  const double normalized = param->NormalizeValue(std::clamp(value, param->Min(), param->Max()));
  if (!std::isfinite(normalized)) return;
  if (withGesture) delegate.BeginParamEditFromUI(paramIdx);
  delegate.SetParamValueFromUI(paramIdx, normalized);
  delegate.SendParamValueToUI(paramIdx, normalized, true);
  if (withGesture) delegate.EndParamEditFromUI(paramIdx);
}

void FilterGraph::OnMouseDown(float x, float y, const IMouseMod&) {
  dragging_ = false;
  // Handles are hit by their distance alone, also where one drawn on the
  // plot's edge reaches past it; of handles drawn on top of each other the
  // selected slot's is the one taken.
  int picked = -1;
  float best = kPickDistance;
  for (int s = 0; s < kSlotCount; ++s) {
    float hx, hy;
    if (SlotEnabled(s)) {
      hx = FreqToX(SlotValue(s, kSlotFrequency));
      hy = DepthToY(SlotValue(s, kSlotDepth));
    } else if (snapshot_.slotKind[s] != kSlotEmpty) {
      hx = FreqToX(snapshot_.slotFrequency[s]);
      hy = DepthToY(snapshot_.slotDepth[s]);
    } else {
      continue;
    }
    const float d = std::hypot(x - hx, y - hy);
    if (d < best || (picked >= 0 && d == best && s == view_->selectedSlot)) {
      best = d;
      picked = s;
    }
  }
  if (picked < 0 || !GetUI()) return;
  view_->SelectSlot(picked, *GetUI());
  if (!SlotEnabled(picked)) {
    view_->SetHelp("LEARNED FILTER / READ ONLY",
                   "Learned Fixed and Live geometry is actual detector state. Select a free slot "
                   "and enable Manual to create a separately controlled notch.");
    return;
  }
  dragSlot_ = picked;
  dragOriginX_ = x;
  dragOriginY_ = y;
  // A drag starts where the handle is drawn, which is pinned to the plot's
  // edge when the frequency lies above the plot.
  dragStartFrequency_ = static_cast<float>(PlottedFrequency(SlotValue(picked, kSlotFrequency)));
  dragStartDepth_ = static_cast<float>(SlotValue(picked, kSlotDepth));
  dragging_ = true;
  // The edits belong to the mouse's hold on the graph: a resize or a popup
  // that takes the hold away ends them although no mouse-up follows.
  GetUI()->BeginCaptureEdit(*this, SlotParamIndex(picked, kSlotFrequency));
  GetUI()->BeginCaptureEdit(*this, SlotParamIndex(picked, kSlotDepth));
  view_->SetHelp("MANUAL FREQUENCY / CUT",
                 "Drag horizontally for log frequency and vertically for cut depth. Shift reduces "
                 "sensitivity; wheel controls Q. Solid marks show the actual processed bank, the "
                 "hollow handle is requested.");
}

void FilterGraph::OnMouseDrag(float x, float y, float, float, const IMouseMod& mod) {
  if (!Dragging()) return;
  const double k = mod.S ? 0.1 : 1.0;
  const double frequency = PlottedFrequency(
      dragStartFrequency_ * std::pow(TopFrequency() / 20.0, (x - dragOriginX_) / kPlotWidth * k));
  const double depth = (y - dragOriginY_) / kResponseHeight * kMaxCutDb * k + dragStartDepth_;
  SetParamFromUI(SlotParamIndex(dragSlot_, kSlotFrequency), frequency, false);
  SetParamFromUI(SlotParamIndex(dragSlot_, kSlotDepth), depth, false);
  if (GetUI()) GetUI()->SetAllControlsDirty();
}

void FilterGraph::OnMouseUp(float, float, const IMouseMod&) { dragging_ = false; }

bool FilterGraph::Dragging() const {
  return dragging_ && GetUI() && GetUI()->ControlIsCaptured(this);
}

void FilterGraph::OnMouseWheel(float, float, const IMouseMod& mod, float delta) {
  const int slot = view_->selectedSlot;
  if (!SlotEnabled(slot)) return;
  const double q = SlotValue(slot, kSlotQ) * std::pow(kQStep, delta * (mod.S ? 0.1 : 1.0));
  SetParamFromUI(SlotParamIndex(slot, kSlotQ), q, true);
  if (GetUI()) GetUI()->SetAllControlsDirty();
}

void FilterGraph::OnMouseDblClick(float x, float y, const IMouseMod&) {
  const int slot = view_->selectedSlot;
  if (!SlotEnabled(slot)) return;
  const float hx = FreqToX(SlotValue(slot, kSlotFrequency));
  const float hy = DepthToY(SlotValue(slot, kSlotDepth));
  if (!(std::hypot(x - hx, y - hy) <= kResetDistance)) return;
  view_->pendingConfirm = 0;
  for (int field : {kSlotFrequency, kSlotDepth, kSlotQ}) {
    const int paramIdx = SlotParamIndex(slot, field);
    SetParamFromUI(paramIdx, ParamSpecAt(paramIdx).defaultValue, true);
  }
  view_->SetHelp("RESET SELECTED MANUAL FILTER",
                 "The selected Manual handle was reset to its stored factory frequency, cut and Q. "
                 "Double-clicking the spectrum or empty response graph leaves filters unchanged.");
  if (GetUI()) GetUI()->SetAllControlsDirty();
}

void DrawSpectrumCurve(IGraphics& g, const float* levels, const IRect& r, float floorDb,
                       const IColor& color) {
  auto point = [&](int j, float& px, float& py) {
    const float level = std::isfinite(levels[j]) ? levels[j] : floorDb;
    px = r.L + j * r.W() / 255.f;
    py = r.T + r.H() * std::clamp(level / floorDb, 0.f, 1.f);
  };
  float x0, y0;
  point(0, x0, y0);
  for (int i = 1; i < kDisplayBinCount; ++i) {
    float x1, y1;
    point(i, x1, y1);
    g.DrawLine(color, x0, y0, x1, y1, nullptr, 1.4f);
    x0 = x1;
    y0 = y1;
  }
}

void FilterGraph::Draw(IGraphics& g) {
  DrawBox(g, GetRECT(), kColorLine);
  DrawSpectrum(g);
  DrawResponse(g);
  DrawFrequencyLabels(g);
}

void FilterGraph::DrawSpectrum(IGraphics& g) {
  DrawLabel(g, "REAL SPECTRUM", IRect(51, 153, 223, 179), 12, kColorSlate, kAlignLeft);
  g.DrawLine(kColorBlue, 228, 166, 250, 166, nullptr, 2.f);
  DrawLabel(g, "INPUT", IRect(258, 153, 320, 179), 11, kColorBlue, kAlignLeft);
  g.DrawLine(kColorTeal, 337, 166, 359, 166, nullptr, 2.f);
  DrawLabel(g, "OUTPUT", IRect(367, 153, 459, 179), 11, kColorTeal, kAlignLeft);
  DrawLabel(g, "256 LOG BINS", IRect(639, 153, 836, 179), 11, kColorSlate, kAlignRight);

  char text[16];
  for (int level = 0; level >= -96; level -= 24) {
    const float y = kSpectrumTop - level * 64.f / 96.f;
    g.DrawLine(kColorLine, kPlotLeft, y, kPlotLeft + kPlotWidth, y, nullptr, 1.f);
    std::snprintf(text, sizeof text, "%d", level);
    DrawLabel(g, text, IRect(39, y - 6, 59, y + 6), 10, kColorSlate, kAlignRight);
  }
  for (double f : {100.0, 1000.0, 10000.0}) {
    const float x = FreqToX(f);
    g.DrawLine(kGraphShade, x, kSpectrumTop, x, kSpectrumBottom, nullptr, 1.f);
    g.DrawLine(kGraphShade, x, kResponseTop, x, kResponseBottom, nullptr, 1.f);
  }

  const IRect area(kPlotLeft, kSpectrumTop, kPlotLeft + kPlotWidth, kSpectrumBottom);
  const bool analyzerOn = PlainValue(plugin_.Delegate(), kParamAnalyzer) >= 0.5;
  if (snapshot_.signal && analyzerOn) {
    DrawSpectrumCurve(g, snapshot_.inputSpectrumDb.data(), area, kSpectrumFloorDb, kColorBlue);
    DrawSpectrumCurve(g, snapshot_.outputSpectrumDb.data(), area, kSpectrumFloorDb, kColorTeal);
  } else {
    DrawLabel(g, analyzerOn ? "WAITING FOR REAL SIGNAL" : "FFT OFF", area, 12, kColorSlate,
              kAlignCentre);
  }
}

void FilterGraph::DrawResponse(IGraphics& g) {
  DrawLabel(g, "WET FILTER RESPONSE", IRect(51, 258, 266, 282), 12, kColorSlate, kAlignLeft);
  g.DrawLine(kColorAmber, 283, 271, 306, 271, nullptr, 2.f);
  DrawLabel(g, "L", IRect(313, 258, 336, 282), 11, kColorAmber, kAlignLeft);
  g.DrawLine(kColorTeal, 348, 271, 371, 271, nullptr, 2.f);
  DrawLabel(g, "R", IRect(379, 258, 402, 282), 11, kColorTeal, kAlignLeft);
  DrawLabel(g, "REQUESTED MANUAL: HOLLOW", IRect(535, 258, 836, 282), 10, kColorSlate, kAlignRight);

  char text[16];
  for (int level = 0; level >= -36; level -= 12) {
    const float y = DepthToY(-level);
    g.DrawLine(kColorLine, kPlotLeft, y, kPlotLeft + kPlotWidth, y, nullptr, 1.f);
    std::snprintf(text, sizeof text, "%d", level);
    DrawLabel(g, text, IRect(39, y - 6, 59, y + 6), 10, kColorSlate, kAlignRight);
  }

  if (!snapshot_.signal) {
    DrawLabel(g, "START PLAYBACK FOR LIVE RESPONSE",
              IRect(kPlotLeft, kResponseTop, kPlotLeft + kPlotWidth, kResponseBottom), 12,
              kColorSlate, kAlignCentre);
  } else {
    DrawResponseCurves(g);
    DrawMarks(g);
  }

  const int slot = view_->selectedSlot;
  if (SlotEnabled(slot)) {
    const float x = FreqToX(SlotValue(slot, kSlotFrequency));
    const float y = DepthToY(SlotValue(slot, kSlotDepth));
    g.DrawCircle(kColorAmber, x, y, 7.f, nullptr, 2.f);
    g.DrawLine(kColorAmber, x - 11, y, x - 8, y, nullptr, 1.f);
    g.DrawLine(kColorAmber, x + 8, y, x + 11, y, nullptr, 1.f);
  }
}

void FilterGraph::DrawResponseCurves(IGraphics& g) {
  const double top = TopFrequency();
  curveFrequencies_.clear();
  for (int i = 0; i <= kCurvePoints; ++i)
    curveFrequencies_.push_back(20.0 * std::pow(top / 20.0, i / double(kCurvePoints)));
  static constexpr double kOffsets[] = {-1.0,    -0.5,  -0.125, -0.03125, 0.0,
                                        0.03125, 0.125, 0.5,    1.0};
  for (int ch = 0; ch < kEngineChannels; ++ch) {
    for (int s = 0; s < kSlotCount; ++s) {
      double centre, q;
      if (!NotchFromSection(snapshot_.sections[ch][s], snapshot_.sampleRate, centre, q)) continue;
      for (double k : kOffsets)
        curveFrequencies_.push_back(std::clamp(centre * std::exp(k / q), 20.0, top));
    }
  }
  std::sort(curveFrequencies_.begin(), curveFrequencies_.end());
  curveFrequencies_.erase(std::unique(curveFrequencies_.begin(), curveFrequencies_.end()),
                          curveFrequencies_.end());

  for (int ch = 0; ch < kEngineChannels; ++ch) {
    const IColor& color = ch == 0 ? kColorAmber : kColorTeal;
    float px = 0.f, py = 0.f;
    bool first = true;
    for (double f : curveFrequencies_) {
      const float x = FreqToX(f);
      const float y = DepthToY(-Finite(BankResponseDb(snapshot_, f, ch), 0.0));
      if (!first) g.DrawLine(color, px, py, x, y, nullptr, 1.4f);
      first = false;
      px = x;
      py = y;
    }
  }
}

void FilterGraph::DrawMarks(IGraphics& g) {
  for (int s = 0; s < kSlotCount; ++s) {
    const int kind = snapshot_.slotKind[s];
    if (kind == kSlotEmpty) continue;
    g.FillCircle(KindColor(kind), FreqToX(snapshot_.slotFrequency[s]),
                 DepthToY(snapshot_.slotDepth[s]), s == view_->selectedSlot ? 4.5f : 3.f, nullptr);
  }
}

void FilterGraph::DrawFrequencyLabels(IGraphics& g) {
  // Labels closer than this read as one.
  constexpr float kLabelGap = 4.f;
  struct GridLabel {
    double frequency;
    const char* text;
    float halfWidth;
  };
  char top[24];
  std::snprintf(top, sizeof top, "%.1f kHz", TopFrequency() / 1000.0);
  const IRect topRect(764, 349, 834, 372);
  const IRect topBox = LabelBox(g, top, topRect, 10, kAlignRight);
  DrawLabel(g, "20 Hz", IRect(66, 349, 137, 372), 10, kColorSlate, kAlignLeft);
  // At low sample rates a grid frequency lies close to the top one; the top
  // label tells the range, so the grid label gives way.
  for (const GridLabel& l : {GridLabel{100.0, "100", 24}, GridLabel{1000.0, "1 kHz", 31},
                             GridLabel{10000.0, "10k", 24}}) {
    const float x = FreqToX(l.frequency);
    const IRect r(x - l.halfWidth, 349, x + l.halfWidth, 372);
    if (topBox.Empty() || LabelBox(g, l.text, r, 10, kAlignCentre).R + kLabelGap <= topBox.L)
      DrawLabel(g, l.text, r, 10, kColorSlate, kAlignCentre);
  }
  DrawLabel(g, top, topRect, 10, kColorSlate, kAlignRight);
}

} // namespace tarvex
