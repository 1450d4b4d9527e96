#pragma once

#include "framework/core/param.h"
#include "framework/core/queue_messages.h"
#include "framework/core/string_buffer.h"
#include "framework/graphics/icolor.h"
#include "framework/graphics/input_records.h"
#include "framework/graphics/irect.h"
#include "framework/graphics/itext_style.h"

#include <functional>
#include <initializer_list>
#include <unordered_map>
#include <vector>

namespace plugkit::igraphics {

class IGEditorDelegate;
class IGraphics;
class IPopupMenu;

// The base of every element of the editor: a rectangle, a list of values in
// 0..1 each optionally bound to a parameter, a text style, state flags and
// three callable members. The graphics context that it is attached to owns
// it. A value index addresses the values; -1 addresses all of them. An index
// outside the values is refused: the call changes nothing and reads give 0
// or -1, so no exception can reach a message handler or the host.
class IControl {
public:
  using ActionFunction = std::function<void(IControl*)>;
  using AnimationFunction = std::function<void(IControl*)>;
  using GestureFunction = std::function<void(IControl*, const IGestureInfo&)>;

  static constexpr float kDisabledWeight = 0.25f;

  explicit IControl(const IRect& bounds, int paramIdx = -1, ActionFunction action = {});
  IControl(const IRect& bounds, std::initializer_list<int> paramIdxs, ActionFunction action = {});
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;
  virtual ~IControl();

  virtual void OnMouseDown(float x, float y, const IMouseMod& mod);
  virtual void OnMouseUp(float x, float y, const IMouseMod& mod);
  virtual void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod);
  virtual void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  virtual void OnMouseWheel(float x, float y, const IMouseMod& mod, float delta);
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key);
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key);
  virtual void OnMouseOver(float x, float y, const IMouseMod& mod);
  virtual void OnMouseOut();
  virtual void OnDrop(const char* path);
  virtual void OnDropMultiple(const std::vector<const char*>& paths);
  virtual void OnRescale();
  virtual void OnResize();
  virtual void OnInit();
  virtual void OnAttached();
  virtual void OnMsgFromDelegate(int msgTag, int dataSize, const void* data);
  virtual void OnMidi(const MidiMessage& message);
  virtual bool OnGesture(const IGestureInfo& info);
  virtual void CreateContextMenu(IPopupMenu& contextMenu);
  virtual void OnPopupMenuSelection(IPopupMenu* selectedMenu, int valIdx);
  virtual void OnTextEntryCompletion(const char* text, int valIdx);
  virtual void OnContextSelection(int itemSelected);
  virtual void Draw(IGraphics& g) = 0;
  virtual void DrawMarker(IGraphics& g);
  virtual void SetParamIdx(int paramIdx, int valIdx = 0);
  virtual int GetValIdxForPos(float x, float y) const;
  virtual void SetValueFromDelegate(double value, int valIdx = 0);
  virtual void SetValueFromUserInput(double value, int valIdx = 0);
  virtual void SetValueToDefault(int valIdx = -1);
  virtual void SetValue(double value, int valIdx = 0);
  virtual void SetText(const ITextStyle& style);
  virtual void SetPosition(float x, float y);
  virtual void SetSize(float w, float h);
  virtual void Hide(bool hide);
  virtual void SetDisabled(bool disable);
  virtual void SetIgnoreMouse(bool ignore);
  virtual bool IsHit(float x, float y) const;
  virtual void SetDirty(bool triggerAction = true, int valIdx = -1);
  virtual void ClearDirty();
  virtual bool IsDirty();
  virtual bool GetWantsGestures() const;
  virtual void SnapToMouse(float x, float y, int direction, const IRect& bounds, int valIdx = -1,
                           double minClip = 0.0, double maxClip = 1.0);
  virtual void OnEndAnimation();

  // -1 for an unbound value or an index outside the values.
  int GetParamIdx(int valIdx = 0) const;
  // 0 for an index outside the values.
  double GetValue(int valIdx = 0) const;
  // Null when the value is unbound or its parameter does not exist.
  const IParam* GetParam(int valIdx = 0) const;
  // The first value bound to the parameter, or -1.
  int LinkedToParam(int paramIdx) const;
  // Takes each bound value from its parameter as it is now. Values from the
  // host do not reach a control while a pointer holds it, so a gesture
  // starts, and a release ends, with the parameter's own value.
  void SetValuesFromParams();
  int NVals() const { return static_cast<int>(values_.size()); }

  void StartAnimation(double durationMs);
  // Elapsed time over the duration; 0 while no animation runs, 1 once an
  // animation without duration has started.
  double GetAnimationProgress() const;
  // Runs the animation function once; an animation that has reached its
  // end is ended here if its function did not end it, so a finished
  // animation never keeps the control dirty.
  void RunAnimation();
  void SetAnimation(AnimationFunction func) { animationFunc_ = std::move(func); }
  void SetAnimation(AnimationFunction func, double durationMs);
  void SetAnimationEndActionFunction(ActionFunction func) { endAnimationFunc_ = std::move(func); }
  const AnimationFunction& GetAnimationFunction() const { return animationFunc_; }
  void SetActionFunction(ActionFunction func) { actionFunc_ = std::move(func); }

  void AttachGestureHandler(int32_t gestureType, GestureFunction func);
  int32_t GetLastGesture() const { return lastGesture_; }

  // Set by the graphics context when it attaches the control.
  void SetDelegate(IGEditorDelegate& delegate) { delegate_ = &delegate; }
  void SetGraphics(IGraphics* graphics) { graphics_ = graphics; }
  IGEditorDelegate* GetDelegate() const { return delegate_; }
  IGraphics* GetUI() const { return graphics_; }

  const IRect& GetRECT() const { return rect_; }
  const IRect& GetTargetRECT() const { return targetRect_; }
  void SetRECT(const IRect& r) { rect_ = r; }
  void SetTargetRECT(const IRect& r) { targetRect_ = r; }
  void SetTargetAndDrawRECTs(const IRect& r) { rect_ = targetRect_ = r; }
  const char* GetGroup() const { return group_.Get(); }
  void SetGroup(const char* group) { group_.Set(group); }
  const ITextStyle& GetText() const { return text_; }
  const IBlend& GetBlend() const { return blend_; }
  int GetTextEntryLength() const { return textEntryLength_; }
  void SetTextEntryLength(int length) { textEntryLength_ = length; }
  const char* GetTooltip() const { return tooltip_.Get(); }
  void SetTooltip(const char* text) { tooltip_.Set(text); }
  IControl* GetParent() const { return parent_; }
  void SetParent(IControl* parent) { parent_ = parent; }
  void SetMarkerColor(const IColor& color) { markerColor_ = color; }
  void ShowMarker(bool show) { showMarker_ = show; }

  bool IsHidden() const { return hidden_; }
  bool IsDisabled() const { return disabled_; }
  bool GetIgnoreMouse() const { return ignoreMouse_; }
  bool GetMouseIsOver() const { return mouseIsOver_; }
  bool GetMouseDblAsSingleClick() const { return dblAsSingleClick_; }
  void SetMouseDblAsSingleClick(bool single) { dblAsSingleClick_ = single; }
  bool GetMouseOverWhenDisabled() const { return mouseOverWhenDisabled_; }
  void SetMouseOverWhenDisabled(bool allow) { mouseOverWhenDisabled_ = allow; }
  bool GetMouseEventsWhenDisabled() const { return mouseEventsWhenDisabled_; }
  void SetMouseEventsWhenDisabled(bool allow) { mouseEventsWhenDisabled_ = allow; }
  bool GetWantsMidi() const { return wantsMidi_; }
  void SetWantsMidi(bool wants) { wantsMidi_ = wants; }
  bool GetPromptDisabled() const { return promptDisabled_; }

protected:
  bool ValidValIdx(int valIdx) const { return valIdx >= 0 && valIdx < NVals(); }
  // A one-value control treats -1 as its only value.
  int NormalizeValIdx(int valIdx) const { return NVals() == 1 && valIdx < 0 ? 0 : valIdx; }
  void SetMouseIsOver(bool over) { mouseIsOver_ = over; }
  void SetPromptDisabled(bool disabled) { promptDisabled_ = disabled; }

private:
  struct ParamValue {
    int paramIdx;
    double value;
  };

  IRect rect_;
  IRect targetRect_;
  StringBuffer group_;
  ITextStyle text_;
  IBlend blend_;
  int textEntryLength_ = 7;
  bool dirty_ = true;
  bool hidden_ = false;
  bool disabled_ = false;
  bool promptDisabled_ = true;
  bool dblAsSingleClick_ = false;
  bool mouseOverWhenDisabled_ = false;
  bool mouseEventsWhenDisabled_ = false;
  bool ignoreMouse_ = false;
  bool wantsMidi_ = false;
  bool mouseIsOver_ = false;
  StringBuffer tooltip_;
  IColor markerColor_{255, 255, 0, 0};
  bool showMarker_ = false;
  IControl* parent_ = nullptr;
  IGEditorDelegate* delegate_ = nullptr;
  IGraphics* graphics_ = nullptr;
  ActionFunction actionFunc_;
  ActionFunction endAnimationFunc_;
  AnimationFunction animationFunc_;
  double animationStartMs_ = 0.0;
  double animationDurationMs_ = 0.0;
  std::vector<ParamValue> values_;
  std::unordered_map<int32_t, GestureFunction> gestures_;
  int32_t lastGesture_ = 0;
};

} // namespace plugkit::igraphics
