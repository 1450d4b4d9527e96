#pragma once

#include "framework/graphics/igraphics.h"
#include "tarvex/editor/editor_plugin.h"
#include "tarvex/editor/view_state.h"

namespace tarvex {

constexpr int kEditorWidth = 1180;
constexpr int kEditorHeight = 800;
constexpr int kEditorFps = 30;
constexpr float kEditorMinScale = 0.85f;
constexpr float kEditorMaxScale = 1.5f;

// The captions of the three global pages, on their page buttons.
const char* GlobalPageButtonCaption(int page);

// Builds the whole editor into the graphics context: background, header,
// mode row and actions, filter graph and read-out, slot tiles, page buttons,
// the 27 pages of parameter controls, help, status, bypass and support link.
// Does nothing without a context.
void BuildEditorLayout(EditorPlugin& plugin, plugkit::igraphics::IGraphics* graphics);

// The layout function the plug-in installs.
void LayoutEditorCallback(EditorPlugin& plugin, plugkit::igraphics::IGraphics* graphics);

// The control(s) of one parameter on its page at its column.
void AddParamControl(EditorPlugin& plugin, plugkit::igraphics::IGraphics& g,
                     std::shared_ptr<ViewState> view, int paramIdx, const char* label, int page,
                     int position);

} // namespace tarvex
