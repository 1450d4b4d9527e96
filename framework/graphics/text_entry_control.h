#pragma once

#include "framework/graphics/icontrol.h"
#include "framework/graphics/popup_menu.h"

#include <memory>
#include <string>
#include <vector>

namespace plugkit::igraphics {

struct TextEditEngine;

// Edits one line of text inside the editor for the control that asked for
// it, and hands the result back as a parameter value or as text. While an
// edit is in progress it takes every event and key.
class ITextEntryControl : public IControl {
public:
  ITextEntryControl();
  ~ITextEntryControl() override;

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  bool OnKeyUp(float x, float y, const IKeyPress& key) override;
  void Draw(IGraphics& g) override;
  // Starts the next caret blink while the edit lasts; ends blinking after.
  void OnEndAnimation() override;

  void CreateTextEntry(int paramIdx, const ITextStyle& style, const IRect& bounds, int length,
                       const char* str);
  void CommitEdit();
  void CancelEdit();
  bool EditInProgress() const { return editing_; }
  bool CaretVisible() const { return caretVisible_; }

  std::string GetTextUTF8() const;
  // The selection as first and last-plus-one unit, and the cursor.
  int SelectionStart() const;
  int SelectionEnd() const;
  int Cursor() const;

  void CopySelection();
  void Cut();
  void Paste();
  void SelectAll();

private:
  friend struct TextEditEngine;

  // Sends one key code to the editing engine; true when the text, cursor or
  // selection changed.
  bool SendKey(uint32_t code);
  void TextChanged();
  void FillCharWidths();
  float WidthBefore(int index);
  void LayoutRow(float& x0, float& x1, float& ymin, float& ymax);

  std::unique_ptr<TextEditEngine> engine_;
  std::u16string text_;
  std::vector<float> charWidths_;
  bool caretVisible_ = false;
  bool editing_ = false;
  IPopupMenu clipboardMenu_;
};

} // namespace plugkit::igraphics
