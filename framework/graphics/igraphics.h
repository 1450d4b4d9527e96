#pragma once

#include "framework/core/heap_buffer.h"
#include "framework/core/pointer_list.h"
#include "framework/core/string_buffer.h"
#include "framework/graphics/corner_resizer_control.h"
#include "framework/graphics/icolor.h"
#include "framework/graphics/icontrol.h"
#include "framework/graphics/image_caches.h"
#include "framework/graphics/images.h"
#include "framework/graphics/input_records.h"
#include "framework/graphics/ipattern.h"
#include "framework/graphics/irect.h"
#include "framework/graphics/itext_style.h"
#include "framework/graphics/itransform.h"
#include "framework/graphics/path_options.h"
#include "framework/graphics/platform_font.h"
#include "framework/graphics/popup_menu.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

struct NSVGpaint;

namespace plugkit::igraphics {

class IGEditorDelegate;
class ITextEntryControl;

// Where a resource was found.
enum class EResourceLocation : int { NotFound = 0, FilePath = 1, WinResource = 2 };

// The editor's graphics context: owns the controls, knows the editor's size
// and scales, and turns every drawing call into paths for the drawing back
// end. The back end derives from it and supplies the primitives; the window
// layer derives from the back end and supplies the platform operations. The
// slots a back end or window supplies are pure here.
//
// Bitmaps handed out by LoadAPIBitmap, LoadAPIBitmapFromData and
// CreateAPIBitmap belong to the caller; RetainBitmap hands one to the
// bitmap cache (the process-wide one, unless a back end keeps its own).
class IGraphics {
public:
  using ControlFunction = std::function<void(IControl&)>;
  using MsgBoxCompletion = std::function<void(int)>;
  using FileCompletion =
      std::function<void(const StringBuffer& fileName, const StringBuffer& path)>;
  using ColorCompletion = std::function<void(const IColor&)>;

  // Editor units added around a control's rectangle wherever it is marked
  // dirty or clipped for drawing.
  static constexpr float kDirtyMargin = 0.75f;

  IGraphics(IGEditorDelegate& delegate, int width, int height, int fps = 60, float scale = 1.f);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // Frame (back end).
  virtual void BeginFrame();
  virtual void* InitDrawContext() = 0;
  virtual void ReleaseDrawContext() = 0;
  virtual void EndFrame() = 0;

  // Shapes, bitmaps and images.
  virtual void DrawSVG(const ISVG& svg, const IRect& bounds, const IBlend* blend = nullptr,
                       const IColor* strokeColor = nullptr, const IColor* fillColor = nullptr);
  virtual void DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width,
                              float height, double angle, const IBlend* blend = nullptr);
  virtual void DrawBitmap(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY,
                          const IBlend* blend = nullptr) = 0;
  virtual void DrawFittedBitmap(const IBitmap& bitmap, const IRect& bounds,
                                const IBlend* blend = nullptr);
  virtual void DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY,
                                 double angle, const IBlend* blend = nullptr);
  virtual void DrawPoint(const IColor& color, float x, float y, const IBlend* blend = nullptr);
  virtual void DrawLine(const IColor& color, float x1, float y1, float x2, float y2,
                        const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                              const IBlend* blend = nullptr, float thickness = 1.f,
                              float dashLen = 2.f) = 0;
  virtual void DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3,
                            float y3, const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRect(const IColor& color, const IRect& bounds, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawRoundRectCorners(const IColor& color, const IRect& bounds, float tl, float tr,
                                    float bl, float br, const IBlend* blend = nullptr,
                                    float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRect& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawCircle(const IColor& color, float cx, float cy, float r,
                          const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawEllipseRotated(const IColor& color, float x, float y, float r1, float r2,
                                  float angle, const IBlend* blend = nullptr,
                                  float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, const IRect& bounds, const IBlend* blend = nullptr,
                           float thickness = 1.f);
  virtual void DrawConvexPolygon(const IColor& color, const float* x, const float* y, int npoints,
                                 const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedRect(const IColor& color, const IRect& bounds,
                              const IBlend* blend = nullptr, float thickness = 1.f,
                              float dashLen = 2.f) = 0;
  virtual void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3,
                            float y3, const IBlend* blend = nullptr);
  virtual void FillRect(const IColor& color, const IRect& bounds, const IBlend* blend = nullptr);
  virtual void FillRoundRectCorners(const IColor& color, const IRect& bounds, float tl, float tr,
                                    float bl, float br, const IBlend* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRect& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr);
  virtual void FillCircle(const IColor& color, float cx, float cy, float r,
                          const IBlend* blend = nullptr);
  virtual void FillEllipseRotated(const IColor& color, float x, float y, float r1, float r2,
                                  float angle, const IBlend* blend = nullptr);
  virtual void FillEllipse(const IColor& color, const IRect& bounds, const IBlend* blend = nullptr);
  virtual void FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr);
  virtual void FillConvexPolygon(const IColor& color, const float* x, const float* y, int npoints,
                                 const IBlend* blend = nullptr);

  // Text. MeasureText returns the measured width; an empty text measures as
  // the empty rectangle.
  virtual float MeasureText(const ITextStyle& style, const char* text, IRect& bounds) const;
  virtual void DrawMultiLineText(const ITextStyle& style, const char* text, const IRect& bounds,
                                 const IBlend* blend = nullptr);
  virtual IColor GetConstantColor() const = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingAPIName() = 0;

  // Bitmap caching.
  virtual IBitmap ScaleBitmap(const IBitmap& bitmap, const char* name, int targetScale);
  virtual void RetainBitmap(const IBitmap& bitmap, const char* cacheName);
  virtual void ReleaseBitmap(APIBitmap* bitmap);
  virtual bool BitmapExtSupported(const char* ext) = 0;
  virtual void DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds,
                                  float xyDrop = 5.f, float roundness = 0.f, float blur = 10.f,
                                  const IBlend* blend = nullptr) = 0;
  virtual void DrawGrid(const IColor& color, const IRect& bounds, float gridSizeH, float gridSizeV,
                        const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawData(const IColor& color, const IRect& bounds, const float* normYPoints,
                        int nPoints, const float* normXPoints = nullptr,
                        const IBlend* blend = nullptr, float thickness = 1.f,
                        const IColor* fillColor = nullptr);

  // Fonts.
  virtual bool LoadFontFromMemory(const char* fontID, const void* data, int dataSize);
  virtual bool LoadFont(const char* fontID, const char* fileNameOrResID);

  // Layers (back end reads and composites the pixels).
  virtual void ApplyLayerDropShadow(ILayerPtr& layer, const IShadow& shadow);
  virtual void GetLayerBitmapData(const ILayerPtr& layer, HeapBuffer& data) = 0;
  virtual void ApplyShadowMask(ILayerPtr& layer, HeapBuffer& mask, const IShadow& shadow) = 0;
  virtual void UpdateLayer() = 0;

  // Path primitives (back end). Angles are degrees, 0 up, clockwise.
  virtual void PathClear() = 0;
  virtual void PathClose() = 0;
  virtual void PathArc(float cx, float cy, float r, float a1, float a2, int winding = 0) = 0;
  virtual void PathMoveTo(float x, float y) = 0;
  virtual void PathLineTo(float x, float y) = 0;
  virtual void PathSetWinding(bool clockwise) = 0;
  virtual void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2,
                                 float y2) = 0;
  virtual void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) = 0;
  virtual void PathStroke(const IPattern& pattern, float thickness,
                          const IStrokeOptions& options = IStrokeOptions(),
                          const IBlend* blend = nullptr) = 0;
  virtual void PathFill(const IPattern& pattern, const IFillOptions& options = IFillOptions(),
                        const IBlend* blend = nullptr) = 0;
  virtual void SetTransformMatrix(const ITransform& transform) = 0;
  virtual void OnControlDrawn(const IRect& clip);
  // Editor units, untransformed.
  virtual void SetClipRegion(const IRect& r) = 0;

  // Window.
  virtual void GetMouseLocation(float& x, float& y) const = 0;
  virtual void HideMouseCursor(bool hide = true, bool lock = true) = 0;
  virtual void MoveMouseCursor(float x, float y) = 0;
  // Returns the previous cursor type.
  virtual int SetMouseCursor(int cursorType) = 0;
  virtual void RemovePlatformTextEntry() = 0;
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool WindowIsOpen() = 0;
  virtual bool GetTextFromClipboard(StringBuffer& text) = 0;
  virtual bool SetTextInClipboard(const char* text) = 0;
  virtual bool SetFilePathInClipboard(const char* path) = 0;
  virtual bool InitiateExternalFileDragDrop(const char* path) = 0;
  virtual int ShowMessageBox(const char* text, const char* caption, int type,
                             MsgBoxCompletion completion = {}) = 0;
  virtual void PromptForFile(StringBuffer& fileName, StringBuffer& path, int action,
                             const char* extensions, FileCompletion completion = {}) = 0;
  virtual void PromptForDirectory(StringBuffer& dir, FileCompletion completion = {}) = 0;
  virtual bool PromptForColor(IColor& color, const char* title,
                              ColorCompletion completion = {}) = 0;
  virtual bool OpenURL(const char* url, const char* windowTitle = nullptr,
                       const char* confirmMsg = nullptr, const char* errMsgOnFailure = nullptr) = 0;
  virtual const char* GetPlatformAPIName() = 0;
  virtual bool RevealPathInExplorer(const char* path, bool select) = 0;
  virtual void SetModuleHandle(void* module) = 0;
  virtual void* GetModuleHandle() = 0;
  // Fonts the platform loads; the caller owns the result.
  virtual std::unique_ptr<PlatformFont> LoadPlatformFontByName(const char* fontID,
                                                               const char* family, int style) = 0;
  virtual std::unique_ptr<PlatformFont> LoadPlatformFontFromMemory(const char* fontID,
                                                                   const void* data,
                                                                   int dataSize) = 0;
  virtual std::unique_ptr<PlatformFont> LoadPlatformFontFromFile(const char* fontID,
                                                                 const char* fileNameOrResID) = 0;
  virtual void CachePlatformFont(const char* fontID, const PlatformFont& font) = 0;
  virtual void ActivateGLContext() = 0;
  virtual void DeactivateGLContext() = 0;
  virtual void CreatePlatformTextEntry(int paramIdx, const ITextStyle& style, const IRect& bounds,
                                       int length, const char* str) = 0;
  // Returns the (sub)menu in which an item was chosen, or null.
  virtual IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds) = 0;

  virtual ~IGraphics();

  virtual bool PlatformSupportsMultiTouch() const = 0;
  virtual float GetPlatformWindowScale() const;
  virtual void PlatformResize(bool parentHasResized) = 0;
  virtual void RecreateBackingLayer() = 0;

  // Resource loading.
  virtual IBitmap LoadBitmapFromData(const char* name, const void* data, int dataSize,
                                     int nStates = 1, bool framesAreHorizontal = false,
                                     int targetScale = 0);
  virtual IBitmap LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false,
                             int targetScale = 0);
  virtual ISVG LoadSVGFromData(const char* name, const void* data, int dataSize,
                               const char* units = "px", float dpi = 72.f);
  virtual ISVG LoadSVG(const char* name, const char* units = "px", float dpi = 72.f);
  // Fills `data` with the resource's bytes; leaves it empty when there is
  // none or it cannot be read whole.
  virtual void LoadResource(const char* name, const char* type, HeapBuffer& data);

  // Back-end images, fonts and text.
  virtual std::unique_ptr<APIBitmap> LoadAPIBitmapFromData(const char* name, const void* data,
                                                           int dataSize, int scale) = 0;
  virtual std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale,
                                                   EResourceLocation location, const char* ext) = 0;
  virtual std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale,
                                                     double drawScale, bool cacheable) = 0;
  virtual bool LoadAPIFont(const char* fontID, const PlatformFont& font) = 0;
  virtual int AlphaChannelIndex() const = 0;
  virtual bool IsBitmapFlipped() const = 0;
  virtual float DoMeasureText(const ITextStyle& style, const char* text, IRect& bounds) const = 0;
  virtual void DoDrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                          const IBlend* blend = nullptr) = 0;

  virtual float GetTotalScale() const { return drawScale_ * screenScale_; }

  // Control list.
  // Attaches and takes ownership; null when the tag (0 or more) is already
  // taken, in which case the caller keeps the control.
  IControl* AttachControl(IControl* control, int ctrlTag = -1, const char* group = "");
  void RemoveAllControls();
  IControl* FindControlByTag(int ctrlTag) const;
  IControl* GetControl(int idx) const { return controls_.Get(idx); }
  int NControls() const { return controls_.Count(); }
  // The controls in list order, then the corner resizer and the text entry.
  void ForAllControls(const ControlFunction& func);
  void SetAllControlsDirty();
  void ClearAllControlsDirty();
  // Gives the value the caller holds for one of its parameter-bound values
  // to every other control bound to that parameter.
  void UpdatePeerControls(IControl* caller, int callerValIdx);
  void EnableTooltips(bool enable);
  bool TooltipsEnabled() const { return enableTooltips_; }
  void EnableMouseOver(bool enable) { enableMouseOver_ = enable; }
  bool MouseOverEnabled() const { return enableMouseOver_; }
  // True while any pointer holds the control.
  bool ControlIsCaptured(const IControl* control) const;

  // Size and scale. A requested size is clamped to the delegate's limits and
  // the draw scale to the scale limits; a scale that is not a finite
  // positive number is refused and the old one kept.
  void Resize(int width, int height, float scale, bool needsPlatformResize = true);
  void SetScreenScale(float scale);
  void SetUIScaleLimits(float a, float b);
  float GetMinScale() const { return minScale_; }
  float GetMaxScale() const { return maxScale_; }
  // int(p x int(width x draw scale)) with p the platform window scale.
  int WindowWidth() const;
  int WindowHeight() const;
  // Pixels of the window for a length in editor units at a draw scale.
  int WindowPixels(int units, float scale) const;
  // Frees every pointer's control, ending the edits the pointers began, and
  // shows a hidden cursor again.
  void ReleaseMouseCapture();
  // Begins an edit of a parameter the captured control is not bound to; it
  // belongs to the pointer holding the control and ends with that pointer's
  // mouse-up or any release of the capture, so no way out of a drag leaves
  // it open. Nothing happens when no pointer holds the control or the
  // parameter's edit is already open.
  void BeginCaptureEdit(const IControl& control, int paramIdx);

  // Input dispatch. Coordinates are editor units.
  // The control that gets an event at (x, y): the one the pointer holds,
  // else a text entry in progress, else the corner resizer when hit, else
  // the topmost control that takes the event. With `capture` the pointer
  // then holds it.
  IControl* GetMouseControl(float x, float y, bool capture, bool mouseOver = false,
                            int64_t pointerId = 0);
  // The control under the pointer gets the key unless it is the first
  // control; false when no control handled it.
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  bool OnKeyUp(float x, float y, const IKeyPress& key);
  void OnMouseDown(const std::vector<IMouseInfo>& points);
  void OnMouseUp(const std::vector<IMouseInfo>& points);
  void OnMouseDrag(const std::vector<IMouseInfo>& points);
  bool OnMouseDblClick(float x, float y, const IMouseMod& mod);
  // The platform took the mouse away (a dialog, another window, a cancelled
  // mode): the mouse's drag or grip resize ends as a release at (x, y) would
  // end it, and a hidden cursor is shown again. Nothing happens without one.
  void OnMouseCaptureLost(float x, float y);
  // True when a control is under the pointer.
  bool OnMouseOver(float x, float y, const IMouseMod& mod);
  void OnMouseOut();
  bool OnMouseWheel(float x, float y, const IMouseMod& mod, float delta);
  void OnDrop(const char* path, float x, float y);
  void OnDropMultiple(const std::vector<const char*>& paths, float x, float y);
  void OnContextMenu(IControl* control, float x, float y);
  // Only the first call attaches a resizer.
  void AttachCornerResizer(EUIResizerMode sizeMode = EUIResizerMode::Scale,
                           bool layoutOnResize = false, const IColor& color = IColor(255, 0, 0, 0),
                           const IColor& mouseOverColor = IColor(255, 255, 255, 255),
                           const IColor& dragColor = IColor(255, 255, 255, 255), float size = 20.f);
  IControl* GetCornerResizer() const { return cornerResizer_.get(); }
  void StartResizing() {
    resizing_ = true;
    resizeStartScale_ = drawScale_;
  }
  bool IsResizing() const { return resizing_; }
  IControl* GetMouseOverControl() const { return mouseOver_; }
  int GetMouseOverIdx() const { return mouseOverIdx_; }

  // Every value the editor gives a parameter goes through here. A value that
  // arrives outside an edit the mouse began is bracketed on its own, so the
  // host always sees begin, perform and end in that order.
  void SendParamValueFromUI(int paramIdx, double normalized);
  bool ParamEditOpen(int paramIdx) const;

  // Text entry: inside the editor once AttachTextEntryControl has run,
  // else through the platform. The result goes back to the asking control
  // as a parameter value, or as text when the value has no parameter.
  void AttachTextEntryControl();
  ITextEntryControl* GetTextEntryControl() const { return textEntryControl_.get(); }
  void CreateTextEntry(IControl& control, const ITextStyle& style, const IRect& bounds,
                       const char* str, int valIdx = 0);
  void SetControlValueAfterTextEdit(const char* str);
  IControl* GetControlInTextEntry() const { return inTextEntry_; }
  void ClearInTextEntryControl() { inTextEntry_ = nullptr; }

  // Popup menus: shown by the platform; the choice goes to the control.
  void CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRect& bounds, int valIdx = 0);
  IPopupMenu* DoCreatePopupMenu(IControl& control, IPopupMenu& menu, const IRect& bounds,
                                int valIdx, bool isContext);

  // Frame loop.
  bool IsDirty(IRectList& rects);
  void Draw(IRectList& rects);
  void DrawControl(IControl* control, const IRect& dirtyBounds, float scale);
  // Drops rectangles covered by others, cuts overlapping ones apart and
  // merges those that line up; the union of the list never shrinks.
  static void OptimiseRectList(IRectList& rects);

  // Layers.
  void BeginLayer(IControl* control, const IRect& bounds, bool cacheable = false);
  void PushLayer(ILayer* layer);
  ILayer* PopLayer();
  ILayerPtr FinishLayer();
  void PathClipRegion(const IRect& r = IRect());
  int LayerDepth() const { return static_cast<int>(layers_.size()); }
  // The layer drawn into now, or null while drawing to the window.
  const ILayer* TopLayer() const { return layers_.empty() ? nullptr : layers_.back(); }

  // Path builders: each adds to the current path.
  void PathRect(const IRect& bounds);
  void PathRoundRect(const IRect& bounds, float ctl, float ctr, float cbl, float cbr);
  void PathCircle(float cx, float cy, float r);
  void PathEllipse(float x, float y, float r1, float r2, float angle = 0.f);
  void PathConvexPolygon(const float* x, const float* y, int nPoints);

  // Transforms: each change is handed to the back end.
  void PathTransformSave();
  void PathTransformRestore();
  void PathTransformReset(bool clearStates = false);
  void PathTransformTranslate(float x, float y);
  void PathTransformRotate(float angle);
  void PathTransformScale(float sx, float sy);
  const ITransform& GetTransform() const { return transform_; }

  // Text.
  void DrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                const IBlend* blend = nullptr);
  // The offset that moves text rotated by the style's angle back into
  // `bounds` according to the style's alignment.
  void ComputeTextRotationOffset(const ITextStyle& style, const IRect& bounds, IRect& textRect,
                                 double& dx, double& dy) const;
  void ApplyTextRotationOffset(const ITextStyle& style, const IRect& bounds, IRect& textRect) const;

  // SVG.
  void DoDrawSVG(const ISVG& svg, const IBlend* blend = nullptr,
                 const IColor* strokeColor = nullptr, const IColor* fillColor = nullptr);
  static IPattern PatternFromSVGPaint(const NSVGpaint& paint, float opacity);

  // Resources.
  EResourceLocation SearchImageResource(const char* name, const char* type, StringBuffer& result,
                                        int targetScale, int& sourceScale);
  APIBitmap* SearchNextScale(const char* name, int targetScale, int& sourceScale);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int FPS() const { return fps_; }
  float GetDrawScale() const { return drawScale_; }
  float GetScreenScale() const { return screenScale_; }
  IGEditorDelegate& GetDelegate() const { return delegate_; }
  IPopupMenu& GetPromptMenu() { return promptPopupMenu_; }

protected:
  // For the window layer and input dispatch: the control a pointer holds.
  void SetCapturedControl(int64_t pointerId, IControl* control);
  void SetScreenScaleValue(float scale) { screenScale_ = scale; }
  void SetDrawScaleValue(float scale) { drawScale_ = scale; }
  bool CursorHidden() const { return cursorHidden_; }
  void SetCursorHidden(bool hidden) { cursorHidden_ = hidden; }
  int CursorType() const { return cursorType_; }
  void SetCursorTypeValue(int type) { cursorType_ = type; }
  // The cache that RetainBitmap fills and the bitmap loaders look in.
  virtual BitmapCache& RetainedBitmaps();

private:
  void BeginPointerEdits(int64_t pointerId, IControl& control);
  void EndPointerEdits(int64_t pointerId);

private:
  PointerList<IControl> controls_{4096};
  std::unordered_map<int, IControl*> ctrlTags_;
  std::unique_ptr<IControl> cornerResizer_;
  std::unique_ptr<ITextEntryControl> textEntryControl_;
  IControl* inTextEntry_ = nullptr;
  int textEntryValIdx_ = -1;
  IPopupMenu promptPopupMenu_;
  int cursorType_ = 0;
  int width_;
  int height_;
  int fps_;
  float screenScale_ = 1.f;
  float drawScale_;
  std::unordered_map<int64_t, IControl*> captureMap_;
  float minScale_ = 0.5f;
  float maxScale_ = 4.f;
  bool layoutOnResize_ = false;
  EUIResizerMode resizerMode_ = EUIResizerMode::Scale;
  bool resizing_ = false;
  float resizeStartScale_ = 1.f;
  float mouseDownX_ = -1.f;
  float mouseDownY_ = -1.f;
  // Parameters with an edit open, and those each pointer's mouse-down began.
  std::vector<int> openEdits_;
  std::unordered_map<int64_t, std::vector<int>> pointerEdits_;
  IControl* mouseOver_ = nullptr;
  int mouseOverIdx_ = -1;
  bool enableMouseOver_ = false;
  bool enableTooltips_ = false;
  IGEditorDelegate& delegate_;
  bool cursorHidden_ = false;
  std::deque<ILayer*> layers_;
  IRect drawClip_;
  ITransform transform_;
  std::deque<ITransform> transformStates_;
};

} // namespace plugkit::igraphics
