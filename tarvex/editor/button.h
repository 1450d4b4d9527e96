#pragma once

#include "framework/graphics/icontrol.h"
#include "tarvex/editor/editor_plugin.h"
#include "tarvex/editor/view_state.h"

#include <memory>

namespace tarvex {

enum ButtonKind : int {
  kButtonParamToggle = 0,
  kButtonSwapBanks = 1,
  kButtonCopyToOtherBank = 2,
  kButtonPage = 3,
  kButtonSlotPage = 4,
  kButtonStartLearning = 5,
  kButtonStopLearning = 6,
  kButtonClearFixed = 7,
  kButtonClearLive = 8,
  kButtonFreezeLive = 9,
  kButtonSupportMail = 10,
};

// Every push button of the editor; its kind says what a click does. Clearing
// learned filters and switching Bypass on must be clicked twice within six
// seconds while audio is coming out.
class Button : public plugkit::igraphics::IControl {
public:
  Button(const plugkit::igraphics::IRect& bounds, const char* caption, EditorPlugin& plugin,
         std::shared_ptr<ViewState> view, int kind, int paramIdx = -1, int value = 0);

  void OnMouseDown(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const plugkit::igraphics::IKeyPress& key) override;
  void OnMouseOver(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  bool IsDirty() override;
  void Draw(plugkit::igraphics::IGraphics& g) override;

  int Kind() const { return kind_; }
  // The code under which the button's action is armed for confirmation.
  int ConfirmCode() const;
  ViewState& View() const { return *view_; }

private:
  // Clearing learned filters and the Bypass toggle: switching Bypass on is
  // confirmed, and a repeated key must not switch it off and on again.
  bool AsksConfirmation() const;
  bool Inactive() const;
  double ParamNormalized() const;
  void Toggle(bool outputPresent);
  void RunEngineCommand(bool outputPresent);

  const char* caption_;
  EditorPlugin& plugin_;
  std::shared_ptr<ViewState> view_;
  int kind_;
  int value_;
};

} // namespace tarvex
