#pragma once

#include "framework/graphics/icontrol.h"
#include "framework/graphics/iknob_control_base.h"
#include "framework/graphics/popup_menu.h"
#include "tarvex/editor/editor_plugin.h"
#include "tarvex/editor/view_state.h"

#include <functional>
#include <memory>

namespace tarvex {

class ValueEntry;

// A continuous parameter: dragged, stepped by keys and wheel, or typed with
// its unit in the value box.
class Knob : public plugkit::igraphics::IKnobControlBase {
public:
  Knob(const plugkit::igraphics::IRect& bounds, int paramIdx, const char* label,
       EditorPlugin& plugin, std::shared_ptr<ViewState> view);

  void OnMouseDown(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const plugkit::igraphics::IKeyPress& key) override;
  void OnMouseOver(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  bool IsDirty() override;
  void Draw(plugkit::igraphics::IGraphics& g) override;
  plugkit::igraphics::IRect GetDragBounds() const override { return GetTargetRECT(); }

  void SetValueEntry(ValueEntry* entry) { valueEntry_ = entry; }
  // Opens the text entry over the value box with the plain value.
  void PromptValueEntry();
  // Sets the typed value, or explains in the help strip why it was refused.
  void ValueEntryCompletion(const char* text);
  plugkit::igraphics::IRect ValueBox() const;

private:
  const char* label_;
  EditorPlugin& plugin_;
  std::shared_ptr<ViewState> view_;
  ValueEntry* valueEntry_ = nullptr;
};

// The invisible receiver of a knob's typed text. The text entry is opened
// for it rather than for the knob because only a control without parameter
// lets letters and unit characters through.
class ValueEntry : public plugkit::igraphics::IControl {
public:
  using Completion = std::function<void(const char*)>;

  explicit ValueEntry(Completion completion);
  void OnTextEntryCompletion(const char* text, int valIdx) override;
  void Draw(plugkit::igraphics::IGraphics&) override {}

private:
  Completion completion_;
};

// An enumerated parameter with more than two values, chosen from a menu.
class EnumMenu : public plugkit::igraphics::IControl {
public:
  EnumMenu(const plugkit::igraphics::IRect& bounds, int paramIdx, const char* label,
           EditorPlugin& plugin, std::shared_ptr<ViewState> view);

  void OnMouseDown(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const plugkit::igraphics::IKeyPress& key) override;
  void OnMouseOver(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  void OnPopupMenuSelection(plugkit::igraphics::IPopupMenu* menu, int valIdx) override;
  bool IsDirty() override;
  void Draw(plugkit::igraphics::IGraphics& g) override;

  plugkit::igraphics::IRect ValueBox() const;
  const plugkit::igraphics::IPopupMenu& Menu() const { return menu_; }

private:
  void SetParamHelp();

  const char* label_;
  EditorPlugin& plugin_;
  std::shared_ptr<ViewState> view_;
  plugkit::igraphics::IPopupMenu menu_;
};

// The 16 factory presets; shows the one the current values match.
class PresetMenu : public plugkit::igraphics::IControl {
public:
  static constexpr int kUnknownPreset = -2;

  PresetMenu(const plugkit::igraphics::IRect& bounds, EditorPlugin& plugin,
             std::shared_ptr<ViewState> view);

  void OnMouseDown(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const plugkit::igraphics::IKeyPress& key) override;
  void OnMouseOver(float x, float y, const plugkit::igraphics::IMouseMod& mod) override;
  void OnPopupMenuSelection(plugkit::igraphics::IPopupMenu* menu, int valIdx) override;
  bool IsDirty() override;
  void Draw(plugkit::igraphics::IGraphics& g) override;

  int MatchingPreset() const { return matching_; }

private:
  EditorPlugin& plugin_;
  std::shared_ptr<ViewState> view_;
  plugkit::igraphics::IPopupMenu menu_;
  int matching_ = kUnknownPreset;
};

} // namespace tarvex
