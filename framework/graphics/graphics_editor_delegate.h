#pragma once

#include "framework/core/editor_delegate.h"

#include <functional>

namespace plugkit::igraphics {

class IGraphics;

// Connects a plug-in instance to its graphical editor through two functions
// the plug-in class installs in its constructor: one that makes the
// platform's graphics context and one that attaches the controls to it.
class IGEditorDelegate : public IEditorDelegate {
public:
  // The caller owns the returned context.
  using MakeGraphicsFunc = std::function<IGraphics*()>;
  using LayoutFunc = std::function<void(IGraphics*)>;

  explicit IGEditorDelegate(int nParams);

  // Null when no make-graphics function is installed.
  virtual IGraphics* CreateGraphics();
  virtual void LayoutEditor(IGraphics* graphics);

protected:
  MakeGraphicsFunc makeGraphicsFunc_;
  LayoutFunc layoutFunc_;
};

} // namespace plugkit::igraphics
