#pragma once

#include "framework/graphics/icontrol.h"
#include "framework/graphics/images.h"
#include "tarvex/editor/editor_plugin.h"
#include "tarvex/editor/view_state.h"

#include <memory>
#include <string>

namespace tarvex {

using plugkit::igraphics::IGraphics;
using plugkit::igraphics::IKeyPress;
using plugkit::igraphics::IMouseMod;
using plugkit::igraphics::IRect;

// The maker's pages the editor links to.
constexpr const char* kMakerWebPage = "https://braskelin.com/plugins";
constexpr const char* kMakerSupportAddress = "support@braskelin.com";

// One stable filter slot as the engine applies it; a click selects it.
class BankTile : public plugkit::igraphics::IControl {
public:
  BankTile(const IRect& bounds, int slot, EditorPlugin& plugin, std::shared_ptr<ViewState> view);
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  bool IsDirty() override;
  void Draw(IGraphics& g) override;

private:
  int slot_;
  EditorPlugin& plugin_;
  std::shared_ptr<ViewState> view_;
};

// The engine read-out: meters, filter counts, the selected slot, the
// current candidate and the recent number of active filters.
class LiveState : public plugkit::igraphics::IControl {
public:
  LiveState(const IRect& bounds, EditorPlugin& plugin, std::shared_ptr<ViewState> view);
  bool IsDirty() override;
  void Draw(IGraphics& g) override;

private:
  EditorPlugin& plugin_;
  std::shared_ptr<ViewState> view_;
};

// The processing mode and sample rate.
class Status : public plugkit::igraphics::IControl {
public:
  Status(const IRect& bounds, EditorPlugin& plugin);
  bool IsDirty() override;
  void Draw(IGraphics& g) override;

private:
  EditorPlugin& plugin_;
};

// The help strip: the view state's help title and text.
class ContextHelp : public plugkit::igraphics::IControl {
public:
  ContextHelp(const IRect& bounds, std::shared_ptr<ViewState> view);
  bool IsDirty() override;
  void Draw(IGraphics& g) override;

private:
  std::shared_ptr<ViewState> view_;
  std::string shownText_;
};

// The name of the shown page.
class PageCaption : public plugkit::igraphics::IControl {
public:
  PageCaption(const IRect& bounds, std::shared_ptr<ViewState> view);
  bool IsDirty() override;
  void Draw(IGraphics& g) override;

private:
  std::shared_ptr<ViewState> view_;
};

// The maker's logo (or name), a link to the maker's web page.
class Brand : public plugkit::igraphics::IControl {
public:
  Brand(const IRect& bounds, const plugkit::igraphics::ISVG& logo);
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void Draw(IGraphics& g) override;

private:
  plugkit::igraphics::ISVG logo_;
};

// The background with the title, the panels and the separators.
class Backdrop : public plugkit::igraphics::IControl {
public:
  explicit Backdrop(const IRect& bounds);
  void Draw(IGraphics& g) override;
};

// Enter and Space act as a click on the editor's clickable controls.
inline bool IsActivationKey(const IKeyPress& key) { return key.VK == 13 || key.VK == 32; }

} // namespace tarvex
