#pragma once

#include "framework/graphics/icontrol.h"
#include "tarvex/editor/editor_palette.h"
#include "tarvex/editor/editor_plugin.h"
#include "tarvex/editor/view_state.h"

#include <memory>
#include <vector>

namespace tarvex {

// The engine's real input and output spectra above and the response of the
// filters it actually applies below, with a mark for every occupied slot and
// a hollow handle for the selected slot's requested Manual notch. The handle
// is dragged (frequency and cut), wheeled (Q) and double-clicked (reset);
// learned filters are read-only. Without signal it says so.
class FilterGraph : public plugkit::igraphics::IControl {
public:
  static constexpr float kPlotLeft = 66.f;
  static constexpr float kPlotWidth = 768.f;
  static constexpr float kSpectrumTop = 187.f;
  static constexpr float kSpectrumBottom = 251.f;
  static constexpr float kResponseTop = 285.f;
  static constexpr float kResponseBottom = 346.f;

  FilterGraph(const plugkit::igraphics::IRect& bounds, EditorPlugin& plugin,
              std::shared_ptr<ViewState> view);

  bool IsDirty() override;
  void Draw(plugkit::igraphics::IGraphics& g) override;
  void OnMouseDown(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY,
                   const plugkit::igraphics::IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const plugkit::igraphics::IMouseMod& mod,
                    float delta) override;
  void OnMouseDblClick(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;

  // The highest frequency drawn: 0.49 of the sample rate, 40 Hz to 20 kHz.
  double TopFrequency() const;
  float FreqToX(double frequency) const;
  static float DepthToY(double depth);
  const EngineSnapshot& Snapshot() const { return snapshot_; }
  // A drag lasts while the mouse holds the graph after picking a Manual
  // handle.
  bool Dragging() const;

private:
  // The frequency where the plot shows it: 20 Hz to the top frequency.
  double PlottedFrequency(double frequency) const;
  bool SlotEnabled(int slot) const;
  double SlotValue(int slot, int field) const;
  // Sets a parameter as the user's edit, clamped to its range; a value that
  // does not normalise to a finite number is ignored.
  void SetParamFromUI(int paramIdx, double value, bool withGesture);
  void DrawSpectrum(plugkit::igraphics::IGraphics& g);
  void DrawResponse(plugkit::igraphics::IGraphics& g);
  void DrawResponseCurves(plugkit::igraphics::IGraphics& g);
  void DrawMarks(plugkit::igraphics::IGraphics& g);
  void DrawFrequencyLabels(plugkit::igraphics::IGraphics& g);

  EditorPlugin& plugin_;
  std::shared_ptr<ViewState> view_;
  EngineSnapshot snapshot_;
  bool dragging_ = false;
  int dragSlot_ = 0;
  float dragOriginX_ = 0.f;
  float dragOriginY_ = 0.f;
  float dragStartFrequency_ = 1000.f;
  float dragStartDepth_ = 12.f;
  std::vector<double> curveFrequencies_;
};

// One spectrum of 256 levels as a polyline in the rectangle, 0 dB at the top
// and the floor at the bottom.
void DrawSpectrumCurve(plugkit::igraphics::IGraphics& g, const float* levels,
                       const plugkit::igraphics::IRect& r, float floorDb, const IColor& color);

} // namespace tarvex
