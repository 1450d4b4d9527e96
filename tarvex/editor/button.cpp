#include "tarvex/editor/button.h"

#include "framework/graphics/igraphics.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/drawing_helpers.h"
#include "tarvex/editor/param_help.h"
#include "tarvex/editor/param_rules.h"

#include <cstdio>
#include <string>

namespace tarvex {

using plugkit::igraphics::IGraphics;
using plugkit::igraphics::IKeyPress;
using plugkit::igraphics::IMouseMod;
using plugkit::igraphics::IRect;

namespace {

constexpr const char* kPageTooltip = "Open the selected control view.";
constexpr float kOutputPresentPeak = 1e-5f;
constexpr int kParamConfirmBase = 1000;
constexpr int kKindConfirmBase = 100;

const char* KindTooltip(int kind) {
  switch (kind) {
    case kButtonSwapBanks:
      return "Switch between stored A/B parameter and learned-filter banks.";
    case kButtonCopyToOtherBank:
      return "Copy current controls and learned filters to the other bank.";
    case kButtonStartLearning:
      return "Explicitly start learning in Learn Fixed mode. No test signal or gain increase is "
             "generated.";
    case kButtonStopLearning:
      return "Stop learning and retain learned Fixed filters.";
    case kButtonClearFixed:
      return "Clear only learned Fixed filters; Manual and Live slots are retained.";
    case kButtonClearLive:
      return "Clear only adaptive Live filters; Manual and Fixed slots are retained.";
    case kButtonFreezeLive:
      return "Convert existing Live filters to learned Fixed filters; no new filters or test "
             "signal.";
    case kButtonSupportMail:
      return "Write an e-mail to the support address.";
    default:
      return kPageTooltip;
  }
}

unsigned CommandOf(int kind) {
  switch (kind) {
    case kButtonStartLearning:
      return kCommandStartLearning;
    case kButtonStopLearning:
      return kCommandStopLearning;
    case kButtonClearFixed:
      return kCommandClearFixed;
    case kButtonClearLive:
      return kCommandClearLive;
    default:
      return kCommandFreezeLive;
  }
}

const char* CommandHelp(int kind) {
  switch (kind) {
    case kButtonStartLearning:
      return "Learning explicitly requested. Fixed cuts appear only after real detector evidence; "
             "detection is heuristic and a musical tone can resemble feedback.";
    case kButtonStopLearning:
      return "Learning stopped. Valid Fixed filters remain in the saved bank.";
    case kButtonFreezeLive:
      return "Existing Live filters were requested as Fixed filters. Actual bank tiles update at "
             "an "
             "audio processing boundary.";
    default:
      return "Only the selected learned filter type was requested for clearing. Actual bank tiles "
             "update at an audio processing boundary.";
  }
}

} // namespace

Button::Button(const IRect& bounds, const char* caption, EditorPlugin& plugin,
               std::shared_ptr<ViewState> view, int kind, int paramIdx, int value)
    : IControl(bounds, paramIdx),
      caption_(caption),
      plugin_(plugin),
      view_(std::move(view)),
      kind_(kind),
      value_(value) {
  SetTooltip(paramIdx >= 0 ? ParamHelpText(paramIdx) : KindTooltip(kind));
}

int Button::ConfirmCode() const {
  return kind_ == kButtonParamToggle ? GetParamIdx() + kParamConfirmBase : kind_ + kKindConfirmBase;
}

double Button::ParamNormalized() const {
  const plugkit::IParam* param = plugin_.Delegate().GetParam(GetParamIdx());
  return param ? param->NormalizeValue(param->Value()) : 0.0;
}

bool Button::AsksConfirmation() const {
  return kind_ == kButtonClearFixed || kind_ == kButtonClearLive || GetParamIdx() == kParamBypass;
}

bool Button::Inactive() const {
  if (GetParamIdx() >= 0) return IsParamInactive(plugin_.Delegate(), GetParamIdx());
  switch (kind_) {
    case kButtonStartLearning:
      return static_cast<int>(PlainValue(plugin_.Delegate(), kParamMode)) != 1;
    case kButtonStopLearning:
    case kButtonClearFixed:
    case kButtonClearLive:
    case kButtonFreezeLive: {
      EngineSnapshot snapshot;
      plugin_.ReadSnapshot(snapshot);
      if (kind_ == kButtonStopLearning) return !snapshot.learning;
      if (kind_ == kButtonClearFixed) return snapshot.fixedCount == 0;
      return snapshot.liveCount == 0;
    }
    default:
      return false;
  }
}

void Button::OnMouseDown(float, float, const IMouseMod&) {
  // The mode or the engine may have changed since the last frame decided the
  // disabled state; an action the current state does not allow never runs.
  if (IsDisabled() || Inactive()) return;
  const bool mayBeConfirming =
      AsksConfirmation() && (GetParamIdx() != kParamBypass || ParamNormalized() < 0.5);
  if (!mayBeConfirming) view_->pendingConfirm = 0;
  EngineMeters meters;
  plugin_.ReadMeters(meters);
  const bool outputPresent = meters.output > kOutputPresentPeak;
  IGraphics* g = GetUI();

  switch (kind_) {
    case kButtonParamToggle:
      Toggle(outputPresent);
      break;
    case kButtonSwapBanks:
      plugin_.SwapBanks();
      break;
    case kButtonCopyToOtherBank:
      // The copy is refused while another state or bank operation runs or when
      // the learned filters cannot be read; the strip must not claim it happened.
      if (plugin_.CopyToOtherBank())
        view_->SetHelp("COPY TO THE OTHER BANK",
                       "Current host controls and the actual learned filter bank were copied. A/B "
                       "switching does not generate a signal.");
      else
        view_->SetHelp(
            "COPY NOT DONE",
            "Nothing was copied: the other bank is unchanged. Another bank or state "
            "operation was running or the learned filters could not be read; try again.");
      break;
    case kButtonPage:
      view_->selectedPage = value_;
      view_->pendingConfirm = 0;
      if (g) view_->ShowPage(*g);
      return;
    case kButtonSlotPage:
      if (g) view_->SelectSlot(view_->selectedSlot, *g);
      return;
    case kButtonSupportMail:
      if (g) g->OpenURL((std::string("mailto:") + kMakerSupportAddress).c_str());
      return;
    default:
      RunEngineCommand(outputPresent);
      break;
  }
  if (g) g->SetAllControlsDirty();
}

void Button::Toggle(bool outputPresent) {
  if (ParamNormalized() < 0.5) {
    if (GetParamIdx() == kParamBypass && !view_->ConfirmAction(ConfirmCode(), outputPresent))
      return;
    SetValueFromUserInput(1.0);
  } else {
    SetValueFromUserInput(0.0);
  }
}

void Button::RunEngineCommand(bool outputPresent) {
  if ((kind_ == kButtonClearFixed || kind_ == kButtonClearLive) &&
      !view_->ConfirmAction(ConfirmCode(), outputPresent))
    return;
  if (plugin_.QueueCommand(CommandOf(kind_)))
    view_->SetHelp(caption_, CommandHelp(kind_));
  else
    view_->SetHelp("ACTION NOT QUEUED",
                   "The engine did not accept this action. Current filtering is retained; try "
                   "again after the host is ready.");
}

bool Button::OnKeyDown(float x, float y, const IKeyPress& key) {
  if (IsDisabled() || !IsActivationKey(key)) return false;
  // A held key repeats its key-down: only a second press may confirm, and
  // the repeats must not undo what the press did either.
  if (!(key.repeat && AsksConfirmation())) OnMouseDown(x, y, IMouseMod());
  return true;
}

void Button::OnMouseOver(float x, float y, const IMouseMod& mod) {
  const int paramIdx = GetParamIdx();
  if (paramIdx >= 0) view_->SetHelp(ParamSpecAt(paramIdx).name, ParamHelpText(paramIdx));
  IControl::OnMouseOver(x, y, mod);
}

bool Button::IsDirty() {
  const bool disabled = Inactive();
  if (disabled != IsDisabled()) SetDisabled(disabled);
  SetDirty(false);
  return IControl::IsDirty();
}

void Button::Draw(IGraphics& g) {
  const bool on = GetParamIdx() >= 0 && ParamNormalized() > 0.5;
  const bool bankB = kind_ == kButtonSwapBanks && plugin_.ActiveBank() == 1;
  bool selected = on || bankB;
  if (kind_ == kButtonPage) selected = value_ == view_->selectedPage;
  if (kind_ == kButtonSlotPage) selected = view_->selectedPage >= kGlobalPageCount;
  bool learningLit = false;
  if (kind_ == kButtonStartLearning) {
    EngineSnapshot snapshot;
    plugin_.ReadSnapshot(snapshot);
    learningLit = snapshot.learning;
  }
  const bool armed = view_->IsArmed(ConfirmCode());
  DrawPanelFrame(g, GetRECT(), selected || learningLit || armed, GetMouseIsOver() && !IsDisabled());

  char text[32];
  const char* shown = caption_;
  if (kind_ == kButtonSwapBanks) {
    shown = bankB ? "B" : "A";
  } else if (kind_ == kButtonSlotPage) {
    std::snprintf(text, sizeof text, "MANUAL SLOT %02d", view_->selectedSlot + 1);
    shown = text;
  } else if (armed) {
    shown = "CONFIRM";
  }
  const IColor& color = IsDisabled()              ? kColorSlate
                        : armed                   ? kColorAmber
                        : selected || learningLit ? kColorTeal
                                                  : kColorIvory;
  DrawLabel(g, shown, GetRECT(), 12, color, kAlignCentre);
}

} // namespace tarvex
