#include "framework/graphics/igraphics.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/drawing_helpers.h"
#include "tarvex/editor/param_rules.h"

#include <cstdio>

namespace tarvex {

Status::Status(const IRect& bounds, EditorPlugin& plugin) : IControl(bounds), plugin_(plugin) {
  SetIgnoreMouse(true);
}

bool Status::IsDirty() {
  SetDirty(false);
  return IControl::IsDirty();
}

void Status::Draw(IGraphics& g) {
  EngineSnapshot snapshot;
  plugin_.ReadSnapshot(snapshot);
  char text[96];
  std::snprintf(text, sizeof text, "CAUSAL NOTCH FILTERS / ZERO PDC / %.1f kHz",
                snapshot.sampleRate / 1000.0);
  DrawLabel(g, text, IRect(189, 757, 936, 777), 11, kColorSlate, kAlignLeft);
  if (PlainValue(plugin_.Delegate(), kParamBypass) >= 0.5)
    DrawLabel(g, "BYPASS / ORIGINAL AUDIO / FILTERING REMOVED", IRect(189, 777, 936, 796), 10,
              kColorAmber, kAlignLeft);
  else
    DrawLabel(g, "HEURISTIC DETECTION / NO TEST TONE / NO AUTOMATIC GAIN INCREASE",
              IRect(189, 777, 936, 796), 10, kColorTeal, kAlignLeft);
}

ContextHelp::ContextHelp(const IRect& bounds, std::shared_ptr<ViewState> view)
    : IControl(bounds), view_(std::move(view)) {
  SetIgnoreMouse(true);
}

bool ContextHelp::IsDirty() {
  if (view_->helpText != shownText_) {
    shownText_ = view_->helpText;
    SetDirty(false);
  }
  return IControl::IsDirty();
}

void ContextHelp::Draw(IGraphics& g) {
  DrawLabel(g, view_->helpTitle.c_str(), IRect(36, 721, 303, 750), 10, kColorAmber, kAlignLeft);
  g.DrawMultiLineText(EditorTextStyle(12, kColorSlate, kAlignLeft), view_->helpText.c_str(),
                      IRect(314, 719, 1144, 752), nullptr);
}

PageCaption::PageCaption(const IRect& bounds, std::shared_ptr<ViewState> view)
    : IControl(bounds), view_(std::move(view)) {
  SetIgnoreMouse(true);
}

bool PageCaption::IsDirty() {
  SetDirty(false);
  return IControl::IsDirty();
}

void PageCaption::Draw(IGraphics& g) {
  static constexpr const char* kGlobalCaptions[kGlobalPageCount] = {
      "SIGNAL / MODE / LEVEL", "DETECTOR EVIDENCE / AUTOMATIC GEOMETRY",
      "FILTER BUDGET / TIMING / DISPLAY"};
  const int page = view_->selectedPage;
  const bool global = page >= 0 && page < kGlobalPageCount;
  DrawLabel(g, global ? kGlobalCaptions[page] : "SELECTED MANUAL SLOT / REQUESTED CONTROLS",
            IRect(49, 565, 775, 598), 11, kColorAmber, kAlignLeft);
  DrawLabel(g, global ? "24 SHARED STABLE POSITIONS" : "OFF CONTROLS RETAIN THEIR VALUES",
            IRect(795, 565, 1130, 598), 11, kColorSlate, kAlignRight);
}

} // namespace tarvex
