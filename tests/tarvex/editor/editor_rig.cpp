#include "tests/tarvex/editor/editor_rig.h"

#include "framework/core/channel_io.h"

#include <cmath>

namespace tarvex::testing {

using plugkit::igraphics::IBlend;
using plugkit::igraphics::ITextStyle;

Drawn& EditorGraphics::Add(const char* op, const IRect& r, const IColor& c,
                           std::initializer_list<float> args) {
  drawn.push_back({op, r, c, args, {}, 0.f});
  return drawn.back();
}

void* EditorGraphics::OpenWindow(void*) {
  GetDelegate().LayoutEditor(this);
  GetDelegate().OnEditorOpened();
  return nullptr;
}

void EditorGraphics::FillRoundRect(const IColor& c, const IRect& r, float radius, const IBlend* b) {
  Add("FillRoundRect", r, c, {radius});
  RecordingGraphics::FillRoundRect(c, r, radius, b);
}

void EditorGraphics::DrawRoundRect(const IColor& c, const IRect& r, float radius, const IBlend* b,
                                   float thickness) {
  Add("DrawRoundRect", r, c, {radius, thickness});
  RecordingGraphics::DrawRoundRect(c, r, radius, b, thickness);
}

void EditorGraphics::DrawLine(const IColor& c, float x1, float y1, float x2, float y2,
                              const IBlend* b, float thickness) {
  Add("DrawLine", IRect(x1, y1, x2, y2), c, {thickness});
  RecordingGraphics::DrawLine(c, x1, y1, x2, y2, b, thickness);
}

void EditorGraphics::FillCircle(const IColor& c, float cx, float cy, float r, const IBlend* b) {
  Add("FillCircle", IRect(cx, cy, cx, cy), c, {r});
  RecordingGraphics::FillCircle(c, cx, cy, r, b);
}

void EditorGraphics::DrawCircle(const IColor& c, float cx, float cy, float r, const IBlend* b,
                                float thickness) {
  Add("DrawCircle", IRect(cx, cy, cx, cy), c, {r, thickness});
  RecordingGraphics::DrawCircle(c, cx, cy, r, b, thickness);
}

void EditorGraphics::DrawArc(const IColor& c, float cx, float cy, float r, float a1, float a2,
                             const IBlend* b, float thickness) {
  Add("DrawArc", IRect(cx, cy, cx, cy), c, {r, a1, a2, thickness});
  RecordingGraphics::DrawArc(c, cx, cy, r, a1, a2, b, thickness);
}

void EditorGraphics::DoDrawText(const ITextStyle& style, const char* text, const IRect& r,
                                const IBlend* b) {
  Drawn& d = Add("Text", r, style.fgColor, {static_cast<float>(style.align)});
  d.text = text;
  d.size = style.size;
  RecordingGraphics::DoDrawText(style, text, r, b);
}

void EditorGraphics::DrawMultiLineText(const ITextStyle& style, const char* text, const IRect& r,
                                       const IBlend* b) {
  DoDrawText(style, text, r, b);
}

bool EditorGraphics::OpenURL(const char* url, const char*, const char*, const char*) {
  urls.push_back(url);
  return true;
}

IPopupMenu* EditorGraphics::CreatePlatformPopupMenu(IPopupMenu& menu, const IRect&) {
  lastMenu = &menu;
  if (menuChoice < 0 || menuChoice >= menu.NItems()) return nullptr;
  menu.SetChosenItemIdx(menuChoice);
  menu.ExecFunction();
  return &menu;
}

void EditorGraphics::Frame() {
  plugkit::igraphics::IRectList rects;
  IsDirty(rects);
  rects.Clear();
  rects.Add(IRect(0, 0, kEditorWidth, kEditorHeight));
  drawn.clear();
  ClearCalls();
  Draw(rects);
}

std::vector<std::string> EditorGraphics::Texts() const {
  std::vector<std::string> texts;
  for (const Drawn& d : drawn)
    if (d.op == "Text") texts.push_back(d.text);
  return texts;
}

bool EditorGraphics::Drew(const std::string& text) const { return Text(text) != nullptr; }

const Drawn* EditorGraphics::Text(const std::string& text) const {
  const Drawn* found = nullptr;
  for (const Drawn& d : drawn)
    if (d.op == "Text" && d.text == text) found = &d;
  return found;
}

const Drawn* EditorGraphics::Text(const std::string& text, const IRect& within) const {
  const Drawn* found = nullptr;
  for (const Drawn& d : drawn)
    if (d.op == "Text" && d.text == text && d.rect.L >= within.L && d.rect.R <= within.R &&
        d.rect.T >= within.T && d.rect.B <= within.B)
      found = &d;
  return found;
}

std::vector<Drawn> EditorGraphics::Named(const std::string& op) const {
  std::vector<Drawn> found;
  for (const Drawn& d : drawn)
    if (d.op == op) found.push_back(d);
  return found;
}

void EditorGraphics::Click(float x, float y, IMouseMod mod) {
  mod.L = !mod.R;
  IMouseInfo info;
  info.x = x;
  info.y = y;
  info.ms = mod;
  OnMouseDown({info});
  OnMouseUp({info});
}

void EditorGraphics::Drag(float x0, float y0, float x1, float y1, IMouseMod mod) {
  mod.L = true;
  IMouseInfo info;
  info.x = x0;
  info.y = y0;
  info.ms = mod;
  OnMouseDown({info});
  info.x = x1;
  info.y = y1;
  info.dX = x1 - x0;
  info.dY = y1 - y0;
  OnMouseDrag({info});
  OnMouseUp({info});
}

void EditorGraphics::Key(float x, float y, int vk, bool shift) {
  IKeyPress key;
  key.VK = vk;
  key.S = shift;
  OnKeyDown(x, y, key);
}

EditorTarvex::EditorTarvex() : Tarvex(plugkit::InstanceInfo{}) {
  makeGraphicsFunc_ = [this] { return new EditorGraphics(*this); };
}

void EditorTarvex::BeginHostParamEdit(int paramIdx) { ++openEdits[paramIdx]; }

void EditorTarvex::SendParamValueToHost(int paramIdx, double) {
  ++valuesSent;
  if (openEdits[paramIdx] <= 0) valueOutsideEdit = true;
}

void EditorTarvex::EndHostParamEdit(int paramIdx) {
  if (--openEdits[paramIdx] < 0) endWithoutBegin = true;
}

int EditorTarvex::OpenEdits() const {
  int open = 0;
  for (const auto& entry : openEdits) open += entry.second;
  return open;
}

bool EditorTarvex::QueueCommand(unsigned bits) {
  if (refuseCommands) return false;
  commands.push_back({bits, static_cast<int>(Plain(kParamMode))});
  return Tarvex::QueueCommand(bits);
}

EditorGraphics& EditorTarvex::Open() {
  OpenEditor(nullptr);
  return UI();
}

void EditorTarvex::Activate(double fs) {
  SetChannelConnections(plugkit::kDirectionInput, 0, 2, true);
  SetChannelConnections(plugkit::kDirectionOutput, 0, 2, true);
  SetSampleRate(fs);
  OnActivate(true);
}

void EditorTarvex::Process(long frames, const std::function<double(long)>& source) {
  std::vector<float> in(512), out0(512), out1(512);
  while (frames > 0) {
    const int n = static_cast<int>(std::min<long>(frames, 512));
    for (int i = 0; i < n; ++i) in[i] = static_cast<float>(source(position + i));
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    ProcessBlock(ins, outs, n);
    position += n;
    frames -= n;
  }
}

void EditorTarvex::SetPlain(int paramIdx, double value) {
  GetParam(paramIdx)->Set(value);
  SendParamValueToUI(paramIdx, GetParam(paramIdx)->NormalizeValue(value), true);
}

EngineSnapshot EditorTarvex::Snapshot() const {
  EngineSnapshot s;
  ReadSnapshot(s);
  return s;
}

std::function<double(long)> GrowingSine(double startDb, double rateDb, double frequency,
                                        double fs) {
  return [=](long n) {
    const double t = n / fs;
    return std::pow(10.0, (startDb + rateDb * t) / 20.0) *
           std::sin(2.0 * 3.14159265358979323846 * frequency * t);
  };
}

} // namespace tarvex::testing
