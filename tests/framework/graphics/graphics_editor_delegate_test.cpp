#include "framework/graphics/graphics_editor_delegate.h"

#include "framework/core/param_shape.h"
#include "framework/graphics/igraphics.h"
#include "tests/support/graphics/null_graphics.h"
#include "tests/support/graphics/test_delegate.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace plugkit::igraphics {
namespace {

using testing::NullGraphics;
using testing::TestDelegate;

// Opens a 300 x 200 null editor and notes what reaches the plug-in side.
class EditorDelegate : public TestDelegate {
public:
  EditorDelegate() : TestDelegate(3) {
    GetParam(2)->ConfigureDouble("ten", 0, 0, 10, 0.1, "", 0, "", IParam::ShapeLinear());
    makeGraphicsFunc_ = [this] { return new NullGraphics(*this, 300, 200); };
    layoutFunc_ = [this](IGraphics* g) { laidOut.push_back(g); };
  }
  void OnEditorClose() override {
    ++closes;
    CloseEditor();
  }
  void OnUIParamChange(int paramIdx, ParamChangeSource source) override {
    uiChanges.push_back({paramIdx, source});
  }
  void OnUIMidiMessage(const MidiMessage&) override { ++midiToPlugin; }

  int closes = 0;
  int midiToPlugin = 0;
  std::vector<IGraphics*> laidOut;
  std::vector<std::pair<int, ParamChangeSource>> uiChanges;
};

class Probe : public IControl {
public:
  Probe(const IRect& r, int paramIdx) : IControl(r, paramIdx) {}
  void Draw(IGraphics&) override {}
  bool OnKeyDown(float, float, const IKeyPress& key) override { return key.VK == 13; }
  void OnMidi(const MidiMessage&) override { ++midi; }
  void OnMsgFromDelegate(int msgTag, int, const void*) override { lastMsg = msgTag; }
  int midi = 0;
  int lastMsg = 0;
};

ByteChunk SizeData(int32_t w, int32_t h, float scale) {
  ByteChunk chunk;
  chunk.Put(w);
  chunk.Put(h);
  chunk.Put(scale);
  return chunk;
}

TEST(IGEditorDelegate, RunsTheInstalledFunctions) {
  TestDelegate bare;
  EXPECT_EQ(bare.CreateGraphics(), nullptr);
  EXPECT_EQ(bare.OpenEditor(nullptr), nullptr);
  EXPECT_EQ(bare.GetUI(), nullptr);

  EditorDelegate delegate;
  delegate.OpenEditor(nullptr);
  ASSERT_NE(delegate.GetUI(), nullptr);
  delegate.LayoutEditor(delegate.GetUI());
  EXPECT_EQ(delegate.laidOut, std::vector<IGraphics*>{delegate.GetUI()});
}

TEST(IGEditorDelegate, SizeAndScaleOutliveTheEditor) {
  EditorDelegate delegate;
  delegate.OpenEditor(nullptr);
  delegate.GetUI()->Resize(400, 300, 1.25f, false);
  delegate.CloseEditor();
  EXPECT_EQ(delegate.GetUI(), nullptr);
  EXPECT_EQ(delegate.closes, 1);

  ByteChunk saved;
  EXPECT_TRUE(delegate.SerializeEditorSize(saved));
  ASSERT_EQ(saved.Size(), IGEditorDelegate::kEditorSizeDataSize);
  const uint8_t expected[] = {0x90, 1, 0, 0, 0x2c, 1, 0, 0, 0, 0, 0xa0, 0x3f};
  EXPECT_EQ(std::memcmp(saved.Data(), expected, sizeof(expected)), 0);

  delegate.OpenEditor(nullptr);
  EXPECT_EQ(delegate.GetUI()->Width(), 400);
  EXPECT_EQ(delegate.GetUI()->Height(), 300);
  EXPECT_FLOAT_EQ(delegate.GetUI()->GetDrawScale(), 1.25f);
  delegate.CloseEditor();

  struct Case {
    ByteChunk data;
    int expectPos;
    int w, h;
    float scale;
  } cases[] = {
      {SizeData(800, 600, 1.25f), 12, 800, 600, 1.25f},
      {SizeData(0, 0, 0.f), 12, 300, 200, 1.f},
      {SizeData(500, 400, 2.f), 12, 500, 400, 2.f},
  };
  for (Case& c : cases) {
    EXPECT_EQ(delegate.UnserializeEditorSize(c.data, 0), c.expectPos);
    delegate.OpenEditor(nullptr);
    EXPECT_EQ(delegate.GetUI()->Width(), c.w);
    EXPECT_EQ(delegate.GetUI()->Height(), c.h);
    EXPECT_FLOAT_EQ(delegate.GetUI()->GetDrawScale(), c.scale);
    delegate.CloseEditor();
  }

  // Truncated data reads as zeros and is not applied to an open editor.
  delegate.OpenEditor(nullptr);
  ByteChunk shortData;
  shortData.Put(int32_t{700});
  shortData.Put(int32_t{500});
  EXPECT_EQ(delegate.UnserializeEditorSize(shortData, 0), -1);
  EXPECT_EQ(delegate.GetUI()->Width(), 500);
  delegate.OnParentWindowResize(640, 480);
  EXPECT_EQ(delegate.GetUI()->Width(), 640);
  EXPECT_FLOAT_EQ(delegate.GetUI()->GetDrawScale(), 1.f);
  delegate.SetEditorScreenScale(1.5f);
  EXPECT_FLOAT_EQ(delegate.GetUI()->GetScreenScale(), 1.5f);
}

TEST(IGEditorDelegate, ValuesMessagesMidiAndKeysReachControls) {
  EditorDelegate delegate;
  delegate.SendParamValueToUI(2, 5.0, false);
  ASSERT_EQ(delegate.uiChanges.size(), 1u);
  EXPECT_EQ(delegate.uiChanges[0].second, ParamChangeSource::EditorDelegate);
  MidiMessage note;
  delegate.SendMidiToUI(note);
  EXPECT_EQ(delegate.midiToPlugin, 1);

  delegate.OpenEditor(nullptr);
  IGraphics& g = *delegate.GetUI();
  auto* background = new Probe({0, 0, 300, 200}, -1);
  auto* bound = new Probe({0, 0, 10, 10}, 2);
  auto* held = new Probe({20, 0, 30, 10}, 2);
  g.AttachControl(background);
  g.AttachControl(bound, 7);
  g.AttachControl(held);
  held->SetWantsMidi(true);
  static_cast<NullGraphics&>(g).CaptureControl(held);

  delegate.SendParamValueToUI(2, 5.0, false);
  EXPECT_DOUBLE_EQ(bound->GetValue(), 0.5);
  EXPECT_EQ(held->GetValue(), 0.0);
  delegate.SetControlValueFromDelegate(7, 0.25);
  EXPECT_EQ(bound->GetValue(), 0.25);
  delegate.SendMsgToControl(7, 42, 0, nullptr);
  EXPECT_EQ(bound->lastMsg, 42);
  delegate.SendMidiToUI(note);
  EXPECT_EQ(held->midi, 1);
  EXPECT_EQ(bound->midi, 0);
  EXPECT_EQ(delegate.midiToPlugin, 2);

  // The pointer of the null window sits at (0, 0), over `bound`.
  g.ReleaseMouseCapture();
  IKeyPress enter;
  enter.VK = 13;
  EXPECT_TRUE(delegate.OnHostKeyDown(enter));
  IKeyPress other;
  other.VK = 65;
  EXPECT_FALSE(delegate.OnHostKeyDown(other));
  bound->Hide(true);
  EXPECT_FALSE(delegate.OnHostKeyDown(enter));
  delegate.CloseEditor();
  EXPECT_FALSE(delegate.OnHostKeyDown(enter));
}

} // namespace
} // namespace plugkit::igraphics
