#include "tarvex/editor/editor_layout.h"

#include "tarvex/editor/button.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/filter_graph.h"
#include "tarvex/editor/param_controls.h"
#include "tarvex/editor/param_help.h"

#include <memory>

namespace tarvex {

using plugkit::igraphics::EUIResizerMode;
using plugkit::igraphics::IControl;

namespace {

constexpr float kColumnStep = 137.5f;
constexpr float kColumnLeft = 45.f;

// Attaches a control the context then owns; one the context refuses is
// deleted here.
template <typename T>
T* Attach(IGraphics& g, std::unique_ptr<T> control) {
  if (!g.AttachControl(control.get(), -1, "")) return nullptr;
  return control.release();
}

template <typename T>
T* AttachToPage(IGraphics& g, std::unique_ptr<T> control, int page, ViewState& view) {
  T* attached = Attach(g, std::move(control));
  if (attached) view.pageControls.push_back({attached, page});
  return attached;
}

bool IsToggleParam(int paramIdx) {
  if (paramIdx == kParamBypass || paramIdx == kParamAnalyzer) return true;
  if (paramIdx < kSlotParamBase) return false;
  const int field = (paramIdx - kSlotParamBase) % kSlotFieldCount;
  return field == kSlotEnabled || field == kSlotDynamic;
}

} // namespace

const char* GlobalPageButtonCaption(int page) {
  static constexpr const char* kCaptions[kGlobalPageCount] = {
      "SIGNAL / MODE", "DETECTOR / EVIDENCE", "TIMING / BUDGET"};
  return page >= 0 && page < kGlobalPageCount ? kCaptions[page] : "";
}

void AddParamControl(EditorPlugin& plugin, IGraphics& g, std::shared_ptr<ViewState> view,
                     int paramIdx, const char* label, int page, int position) {
  const float x = position * kColumnStep + kColumnLeft;
  ViewState& state = *view;
  if (IsEnumParam(paramIdx)) {
    if (IsToggleParam(paramIdx))
      AttachToPage(g,
                   std::make_unique<Button>(IRect(x + 5, 644, x + 125, 687), label, plugin, view,
                                            kButtonParamToggle, paramIdx),
                   page, state);
    else
      AttachToPage(
          g, std::make_unique<EnumMenu>(IRect(x, 607, x + 130, 711), paramIdx, label, plugin, view),
          page, state);
    return;
  }
  Knob* knob = AttachToPage(
      g, std::make_unique<Knob>(IRect(x, 607, x + 130, 711), paramIdx, label, plugin, view), page,
      state);
  if (!knob) return;
  knob->SetValueEntry(Attach(g, std::make_unique<ValueEntry>([knob](const char* text) {
                               knob->ValueEntryCompletion(text);
                             })));
}

void BuildEditorLayout(EditorPlugin& plugin, IGraphics* graphics) {
  if (!graphics) return;
  IGraphics& g = *graphics;
  auto view = std::make_shared<ViewState>();

  g.EnableMouseOver(true);
  g.EnableTooltips(true);
  g.SetUIScaleLimits(kEditorMinScale, kEditorMaxScale);
  g.AttachTextEntryControl();
  g.LoadFont(kEditorFontId, "Roboto-Regular.ttf");
  const plugkit::igraphics::ISVG logo = g.LoadSVG("braskelin_logo.svg", "px", 72.f);

  Attach(g, std::make_unique<Backdrop>(IRect(0, 0, kEditorWidth, kEditorHeight)));
  Attach(g, std::make_unique<Brand>(IRect(28, 0, 238, 42), logo));
  Attach(g, std::make_unique<PresetMenu>(IRect(747, 40, 1015, 82), plugin, view));
  Attach(g,
         std::make_unique<Button>(IRect(1028, 40, 1084, 82), "A", plugin, view, kButtonSwapBanks));
  Attach(g, std::make_unique<Button>(IRect(1096, 40, 1144, 82), "COPY", plugin, view,
                                     kButtonCopyToOtherBank));
  Attach(g,
         std::make_unique<EnumMenu>(IRect(36, 106, 276, 142), kParamMode, nullptr, plugin, view));
  Attach(g, std::make_unique<EnumMenu>(IRect(289, 106, 505, 142), kParamRouting, nullptr, plugin,
                                       view));
  Attach(g, std::make_unique<Button>(IRect(518, 106, 627, 142), "LEARN", plugin, view,
                                     kButtonStartLearning));
  Attach(g, std::make_unique<Button>(IRect(639, 106, 726, 142), "STOP", plugin, view,
                                     kButtonStopLearning));
  Attach(g, std::make_unique<Button>(IRect(738, 106, 863, 142), "CLEAR FIXED", plugin, view,
                                     kButtonClearFixed));
  Attach(g, std::make_unique<Button>(IRect(875, 106, 1000, 142), "CLEAR LIVE", plugin, view,
                                     kButtonClearLive));
  Attach(g, std::make_unique<Button>(IRect(1012, 106, 1144, 142), "FREEZE LIVE", plugin, view,
                                     kButtonFreezeLive));
  Attach(g, std::make_unique<FilterGraph>(IRect(36, 151, 855, 374), plugin, view));
  Attach(g, std::make_unique<LiveState>(IRect(868, 151, 1144, 374), plugin, view));
  for (int i = 0; i < kSlotCount; ++i) {
    const float left = 44.f + 183.5f * (i % 6);
    const float top = 393.f + 29.f * (i / 6);
    Attach(g, std::make_unique<BankTile>(IRect(left, top, left + 174.5f, top + 25.f), i, plugin,
                                         view));
  }
  for (int page = 0; page < kGlobalPageCount; ++page)
    Attach(g, std::make_unique<Button>(IRect(36.f + 280 * page, 522, 301.f + 280 * page, 559),
                                       GlobalPageButtonCaption(page), plugin, view, kButtonPage, -1,
                                       page));
  Attach(g, std::make_unique<Button>(IRect(876, 522, 1144, 559), "MANUAL SLOT", plugin, view,
                                     kButtonSlotPage));
  Attach(g, std::make_unique<PageCaption>(IRect(49, 565, 1130, 598), view));

  for (int j = 0; j < kGlobalParamCount; ++j)
    AddParamControl(plugin, g, view, j, ParamControlLabel(j), j / 8, j % 8);
  for (int s = 0; s < kSlotCount; ++s) {
    for (int f = 0; f < kSlotFieldCount; ++f) {
      const int paramIdx = SlotParamIndex(s, f);
      AddParamControl(plugin, g, view, paramIdx, ParamControlLabel(paramIdx), kGlobalPageCount + s,
                      f);
    }
  }

  Attach(g, std::make_unique<ContextHelp>(IRect(36, 720, 1144, 750), view));
  Attach(g, std::make_unique<Button>(IRect(36, 762, 167, 794), "BYPASS", plugin, view,
                                     kButtonParamToggle, kParamBypass));
  Attach(g, std::make_unique<Status>(IRect(189, 758, 936, 796), plugin));
  Attach(g, std::make_unique<Button>(IRect(958, 762, 1144, 794), kMakerSupportAddress, plugin, view,
                                     kButtonSupportMail));

  view->ShowPage(g);
  g.AttachCornerResizer(EUIResizerMode::Scale, false, kColorLine, kColorAmber, kColorTeal, 20.f);
}

void LayoutEditorCallback(EditorPlugin& plugin, IGraphics* graphics) {
  BuildEditorLayout(plugin, graphics);
}

} // namespace tarvex
