#pragma once

#include "framework/graphics/graphics_editor_delegate.h"
#include "tarvex/engine/engine_snapshot.h"

namespace tarvex {

// What the editor needs of the plug-in instance besides its parameters: the
// engine's lock-free reads and its command word, and the bank and factory
// preset operations. The Tarvex class implements it in both deliverables;
// the editor is built once and sits below the plug-in class.
class EditorPlugin {
public:
  virtual ~EditorPlugin() = default;

  virtual plugkit::igraphics::IGEditorDelegate& Delegate() = 0;
  // A copy of the last published snapshot, or the silent default one.
  virtual void ReadSnapshot(EngineSnapshot& out) const = 0;
  virtual void ReadMeters(EngineMeters& out) const = 0;
  // False when the engine did not take the bits.
  virtual bool QueueCommand(unsigned bits) = 0;
  virtual bool SwapBanks() = 0;
  virtual bool CopyToOtherBank() = 0;
  // 0 for bank A, 1 for bank B.
  virtual int ActiveBank() const = 0;
  virtual void LoadFactoryPreset(int index) = 0;
  virtual int FindMatchingFactoryPreset() const = 0;
};

} // namespace tarvex
