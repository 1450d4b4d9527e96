#include "framework/graphics/text_entry_control.h"

#include "framework/graphics/igraphics.h"
#include "framework/graphics/utf_conversion.h"

#include <cmath>
#include <cstdint>

#define STB_TEXTEDIT_CHARTYPE char16_t
#define STB_TEXTEDIT_POSITIONTYPE int
#define STB_TEXTEDIT_KEYTYPE uint32_t
#include <stb_textedit.h>

namespace plugkit::igraphics {

// The editing engine's state and the callbacks through which it reads and
// changes the control's text.
struct TextEditEngine {
  STB_TexteditState state;

  static int Length(const ITextEntryControl* c) { return static_cast<int>(c->text_.size()); }
  static char16_t Char(const ITextEntryControl* c, int i) {
    return c->text_[static_cast<size_t>(i)];
  }
  static float Width(ITextEntryControl* c, int, int i) {
    c->FillCharWidths();
    return c->charWidths_[static_cast<size_t>(i)];
  }
  static void Layout(StbTexteditRow* row, ITextEntryControl* c, int start) {
    c->LayoutRow(row->x0, row->x1, row->ymin, row->ymax);
    row->baseline_y_delta = 1.25f;
    row->num_chars = Length(c) - start;
  }
  static int KeyToText(uint32_t key) {
    // Special keys and control or alt combinations insert nothing.
    if (key & 0xB0000000u) return -1;
    const uint32_t cp = key & 0x0FFFFFFFu;
    return cp > 0 && cp <= 0xFFFF ? static_cast<int>(cp) : -1;
  }
  static void Delete(ITextEntryControl* c, int i, int n) {
    c->text_.erase(static_cast<size_t>(i), static_cast<size_t>(n));
    c->TextChanged();
  }
  static int Insert(ITextEntryControl* c, int i, const char16_t* chars, int n) {
    const auto at = static_cast<size_t>(i);
    c->text_ = c->text_.substr(0, at) + std::u16string(chars, static_cast<size_t>(n)) +
               c->text_.substr(at);
    c->TextChanged();
    return 1;
  }
  static bool IsSpace(char16_t ch) { return ch == u' ' || ch == u'\t'; }
};

} // namespace plugkit::igraphics

#define STB_TEXTEDIT_STRING plugkit::igraphics::ITextEntryControl
#define STB_TEXTEDIT_STRINGLEN(obj) plugkit::igraphics::TextEditEngine::Length(obj)
#define STB_TEXTEDIT_LAYOUTROW(r, obj, n) plugkit::igraphics::TextEditEngine::Layout(r, obj, n)
#define STB_TEXTEDIT_GETWIDTH(obj, n, i) plugkit::igraphics::TextEditEngine::Width(obj, n, i)
#define STB_TEXTEDIT_KEYTOTEXT(k) plugkit::igraphics::TextEditEngine::KeyToText(k)
#define STB_TEXTEDIT_GETCHAR(obj, i) plugkit::igraphics::TextEditEngine::Char(obj, i)
#define STB_TEXTEDIT_NEWLINE u'\n'
#define STB_TEXTEDIT_IS_SPACE(ch) plugkit::igraphics::TextEditEngine::IsSpace(ch)
#define STB_TEXTEDIT_DELETECHARS(obj, i, n) plugkit::igraphics::TextEditEngine::Delete(obj, i, n)
#define STB_TEXTEDIT_INSERTCHARS(obj, i, c, n) \
  plugkit::igraphics::TextEditEngine::Insert(obj, i, c, n)
#define STB_TEXTEDIT_K_SHIFT 0x40000000u
#define STB_TEXTEDIT_K_CONTROL 0x20000000u
#define STB_TEXTEDIT_K_LEFT 0x80000025u
#define STB_TEXTEDIT_K_RIGHT 0x80000027u
#define STB_TEXTEDIT_K_UP 0x80000026u
#define STB_TEXTEDIT_K_DOWN 0x80000028u
#define STB_TEXTEDIT_K_PGUP 0x80000021u
#define STB_TEXTEDIT_K_PGDOWN 0x80000022u
#define STB_TEXTEDIT_K_LINESTART 0x80000024u
#define STB_TEXTEDIT_K_LINEEND 0x80000023u
#define STB_TEXTEDIT_K_TEXTSTART 0xA0000024u
#define STB_TEXTEDIT_K_TEXTEND 0xA0000023u
#define STB_TEXTEDIT_K_WORDLEFT 0xA0000025u
#define STB_TEXTEDIT_K_WORDRIGHT 0xA0000027u
#define STB_TEXTEDIT_K_DELETE 0x8000002Eu
#define STB_TEXTEDIT_K_BACKSPACE 0x80000008u
#define STB_TEXTEDIT_K_INSERT 0x8000002Du
#define STB_TEXTEDIT_K_UNDO 0x2000007Au
#define STB_TEXTEDIT_K_REDO 0x6000007Au
#define STB_TEXTEDIT_IMPLEMENTATION
#include <stb_textedit.h>

namespace plugkit::igraphics {

namespace {

constexpr uint32_t kSpecialKey = 0x80000000u;
constexpr uint32_t kShiftBit = 0x40000000u;
constexpr uint32_t kControlBit = 0x20000000u;
constexpr uint32_t kAltBit = 0x10000000u;

enum VirtualKey : int32_t {
  kVKBack = 0x08,
  kVKTab = 0x09,
  kVKReturn = 0x0D,
  kVKEscape = 0x1B,
  kVKPrior = 0x21,
  kVKNext = 0x22,
  kVKEnd = 0x23,
  kVKHome = 0x24,
  kVKLeft = 0x25,
  kVKDown = 0x28,
  kVKDelete = 0x2E,
  kVKNumpad0 = 0x60,
  kVKNumpad9 = 0x69,
};

// The first code point of a key's text; -1 without one.
int KeyCodePoint(const IKeyPress& key) {
  const std::u16string units = UTF8ToUTF16(key.utf8);
  if (units.empty()) return -1;
  if (units.size() > 1 && units[0] >= 0xD800 && units[0] <= 0xDBFF)
    return 0x10000 + ((units[0] - 0xD800) << 10) + (units[1] - 0xDC00);
  return units[0];
}

// Which typed characters a parameter's text accepts: digits and signs for
// whole numbers, a decimal point as well for doubles.
bool CharacterPasses(const IParam* param, int cp, const IKeyPress& key) {
  if (!param) return true;
  const bool numpad = key.VK >= kVKNumpad0 && key.VK <= kVKNumpad9;
  const bool digit = cp >= '0' && cp <= '9' && (!key.S || numpad);
  const bool sign = cp == '+' || cp == '-';
  switch (param->Type()) {
    case ParamType::Bool:
    case ParamType::Int:
    case ParamType::Enum:
      return digit || sign;
    case ParamType::Double:
      return digit || sign || cp == '.';
    default:
      return true;
  }
}

} // namespace

ITextEntryControl::ITextEntryControl()
    : IControl(IRect(), -1,
               [](IControl* c) {
                 auto* self = static_cast<ITextEntryControl*>(c);
                 self->caretVisible_ = true;
                 self->SetAnimation(
                     [](IControl* blinking) {
                       auto* entry = static_cast<ITextEntryControl*>(blinking);
                       const double progress = entry->GetAnimationProgress();
                       if (progress > 0.5) {
                         entry->caretVisible_ = false;
                         entry->SetDirty(false);
                       }
                       if (progress > 1.0) entry->OnEndAnimation();
                     },
                     1000.0);
               }),
      engine_(std::make_unique<TextEditEngine>()),
      clipboardMenu_("", {"Cut", "Copy", "Paste"}) {
  stb_textedit_initialize_state(&engine_->state, 1);
  clipboardMenu_.SetFunction([this](IPopupMenu* menu) {
    switch (menu->GetChosenItemIdx()) {
      case 0:
        Cut();
        break;
      case 1:
        CopySelection();
        break;
      case 2:
        Paste();
        break;
      default:
        break;
    }
  });
}

ITextEntryControl::~ITextEntryControl() = default;

void ITextEntryControl::OnEndAnimation() {
  if (editing_)
    SetDirty(true);
  else
    IControl::OnEndAnimation();
}

void ITextEntryControl::CreateTextEntry(int, const ITextStyle& style, const IRect& bounds, int,
                                        const char* str) {
  SetMouseIsOver(false);
  SetTargetAndDrawRECTs(bounds);
  OnResize();
  ITextStyle entryStyle = style;
  entryStyle.fgColor = style.textEntryFGColor;
  SetText(entryStyle);
  text_ = UTF8ToUTF16(str ? str : "");
  stb_textedit_initialize_state(&engine_->state, 1);
  SelectAll();
  engine_->state.cursor = 0;
  TextChanged();
  SetDirty(true);
  editing_ = true;
}

void ITextEntryControl::CommitEdit() {
  editing_ = false;
  const std::string text = GetTextUTF8();
  SetTargetAndDrawRECTs(IRect());
  SetMouseIsOver(false);
  OnResize();
  GetUI()->SetControlValueAfterTextEdit(text.c_str());
  GetUI()->SetAllControlsDirty();
}

void ITextEntryControl::CancelEdit() {
  editing_ = false;
  SetTargetAndDrawRECTs(IRect());
  SetMouseIsOver(false);
  OnResize();
  GetUI()->ClearInTextEntryControl();
  GetUI()->SetAllControlsDirty();
}

std::string ITextEntryControl::GetTextUTF8() const { return UTF16ToUTF8(text_); }

int ITextEntryControl::SelectionStart() const {
  return std::min(engine_->state.select_start, engine_->state.select_end);
}

int ITextEntryControl::SelectionEnd() const {
  return std::max(engine_->state.select_start, engine_->state.select_end);
}

int ITextEntryControl::Cursor() const { return engine_->state.cursor; }

void ITextEntryControl::SelectAll() {
  engine_->state.select_start = 0;
  engine_->state.select_end = static_cast<int>(text_.size());
}

void ITextEntryControl::CopySelection() {
  const int start = SelectionStart();
  const int end = SelectionEnd();
  if (start == end) return;
  const std::u16string part =
      text_.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
  GetUI()->SetTextInClipboard(UTF16ToUTF8(part).c_str());
}

void ITextEntryControl::Cut() {
  CopySelection();
  stb_textedit_cut(this, &engine_->state);
  SetDirty(false);
}

void ITextEntryControl::Paste() {
  StringBuffer clip;
  if (!GetUI()->GetTextFromClipboard(clip) || clip.Length() == 0) return;
  std::u16string units = UTF8ToUTF16(clip.Get());
  STB_TexteditState& s = engine_->state;
  stb_textedit_clamp(this, &s);
  // One undo step takes the whole paste back, selection included.
  const int start = SelectionStart();
  const int removed = SelectionEnd() - start;
  const int at = removed > 0 ? start : s.cursor;
  stb_text_makeundo_replace(this, &s, at, removed, static_cast<int>(units.size()));
  if (removed > 0) TextEditEngine::Delete(this, at, removed);
  TextEditEngine::Insert(this, at, units.data(), static_cast<int>(units.size()));
  s.cursor = at + static_cast<int>(units.size());
  s.select_start = s.select_end = s.cursor;
  s.has_preferred_x = 0;
  SetDirty(false);
}

bool ITextEntryControl::SendKey(uint32_t code) {
  const STB_TexteditState before = engine_->state;
  const std::u16string textBefore = text_;
  stb_textedit_key(this, &engine_->state, code);
  const STB_TexteditState& after = engine_->state;
  return text_ != textBefore || after.cursor != before.cursor ||
         after.select_start != before.select_start || after.select_end != before.select_end;
}

bool ITextEntryControl::OnKeyDown(float, float, const IKeyPress& key) {
  // The open entry takes every key, also those that change nothing here: the
  // window hands keys nobody took to the host, where a Backspace too many
  // could delete something of the host's.
  if (!editing_) return false;
  if (key.C) {
    switch (key.VK) {
      case 'A':
        SelectAll();
        SetDirty(false);
        return true;
      case 'C':
        CopySelection();
        return true;
      case 'V':
        Paste();
        return true;
      case 'X':
        Cut();
        return true;
      case 'Z':
        if (key.S)
          stb_text_redo(this, &engine_->state);
        else
          stb_text_undo(this, &engine_->state);
        SetDirty(false);
        return true;
      default:
        break;
    }
  }

  const int cp = KeyCodePoint(key);
  uint32_t code = 0;
  switch (key.VK) {
    case kVKReturn:
      CommitEdit();
      return true;
    case kVKEscape:
      CancelEdit();
      return true;
    case kVKTab:
      return true;
    case kVKBack:
    case kVKPrior:
    case kVKNext:
    case kVKEnd:
    case kVKHome:
    case kVKLeft:
    case kVKLeft + 1:
    case kVKLeft + 2:
    case kVKDown:
    case kVKDelete:
      code = kSpecialKey | static_cast<uint32_t>(key.VK);
      break;
    default: {
      if (key.VK == ' ' && cp == ' ') {
        code = ' ';
        break;
      }
      IControl* asking = GetUI()->GetControlInTextEntry();
      if (!asking) return true;
      const IParam* param = asking->GetParam(0);
      if (cp > 0 && CharacterPasses(param, cp, key))
        code = static_cast<uint32_t>(cp);
      else
        code = kSpecialKey | static_cast<uint32_t>(key.VK);
    }
  }
  if (key.S) code |= kShiftBit;
  if (key.C) code |= kControlBit;
  if (key.A) code |= kAltBit;
  if (SendKey(code)) SetDirty(false);
  return true;
}

bool ITextEntryControl::OnKeyUp(float, float, const IKeyPress&) { return editing_; }

void ITextEntryControl::OnMouseDown(float x, float y, const IMouseMod& mod) {
  if (GetRECT().Empty() || !GetRECT().Contains(x, y)) {
    CommitEdit();
    return;
  }
  if (mod.L) {
    stb_textedit_click(this, &engine_->state, x, y);
    SetDirty(false);
  } else if (mod.R) {
    GetUI()->CreatePopupMenu(*this, clipboardMenu_, IRect(x, y, x, y), 0);
  }
}

void ITextEntryControl::OnMouseDrag(float x, float y, float, float, const IMouseMod& mod) {
  if (!mod.L) return;
  stb_textedit_drag(this, &engine_->state, x, y);
  SetDirty(false);
}

void ITextEntryControl::OnMouseUp(float x, float y, const IMouseMod& mod) {
  if (!mod.L) return;
  stb_textedit_drag(this, &engine_->state, x, y);
  SetDirty(true);
}

void ITextEntryControl::OnMouseDblClick(float, float, const IMouseMod&) {
  SelectAll();
  SetDirty(false);
}

void ITextEntryControl::Draw(IGraphics& g) {
  const ITextStyle& style = GetText();
  const IRect& r = GetRECT();
  g.FillRect(style.textEntryBGColor, r);
  float x0 = 0.f, x1 = 0.f, ymin = 0.f, ymax = 0.f;
  LayoutRow(x0, x1, ymin, ymax);
  const float top = r.T + ymin + 0.1f * style.size;
  const float bottom = r.T + ymax - 0.1f * style.size;
  const int start = SelectionStart();
  const int end = SelectionEnd();
  if (start != end) {
    const IBlend faint{0, 0.2f};
    g.FillRect(style.textEntryFGColor,
               IRect(x0 + WidthBefore(start), top, x0 + WidthBefore(end), bottom), &faint);
  }
  g.DrawText(style, GetTextUTF8().c_str(), r);
  if (start == end && caretVisible_) {
    const float x = x0 + WidthBefore(Cursor());
    g.FillRect(style.textEntryFGColor, IRect(std::round(x - 1.f), top, std::round(x), bottom));
  }
}

void ITextEntryControl::TextChanged() {
  // Every change passes through UTF-8 and back, so the text stays well formed.
  text_ = UTF8ToUTF16(UTF16ToUTF8(text_));
  charWidths_.clear();
  SetDirty(false);
}

void ITextEntryControl::FillCharWidths() {
  if (!charWidths_.empty() || text_.empty()) return;
  const IGraphics* g = GetUI();
  const ITextStyle& style = GetText();
  float previous = 0.f;
  for (size_t i = 0; i < text_.size(); ++i) {
    IRect bounds;
    const float own = g->MeasureText(style, UTF16ToUTF8(text_.substr(i, 1)).c_str(), bounds);
    if (i == 0) {
      charWidths_.push_back(own);
    } else {
      const float pair = g->MeasureText(style, UTF16ToUTF8(text_.substr(i - 1, 2)).c_str(), bounds);
      charWidths_.push_back(pair - previous);
    }
    previous = own;
  }
}

float ITextEntryControl::WidthBefore(int index) {
  FillCharWidths();
  float width = 0.f;
  for (int i = 0; i < index && i < static_cast<int>(charWidths_.size()); ++i)
    width += charWidths_[static_cast<size_t>(i)];
  return width;
}

void ITextEntryControl::LayoutRow(float& x0, float& x1, float& ymin, float& ymax) {
  const IRect& r = GetRECT();
  const ITextStyle& style = GetText();
  const float total = WidthBefore(static_cast<int>(text_.size()));
  switch (style.align) {
    case EAlign::Near:
      x0 = r.L;
      break;
    case EAlign::Center:
      x0 = r.MW() - total / 2.f;
      break;
    case EAlign::Far:
      x0 = r.R - total;
      break;
  }
  x1 = x0 + total;
  switch (style.valign) {
    case EVAlign::Top:
      ymin = 0.f;
      break;
    case EVAlign::Middle:
      ymin = (r.H() - style.size) / 2.f;
      break;
    case EVAlign::Bottom:
      ymin = r.H() - style.size;
      break;
  }
  ymax = ymin + style.size;
}

} // namespace plugkit::igraphics
