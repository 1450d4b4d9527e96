#include "framework/core/editor_delegate.h"
#include "framework/core/param_shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plugkit {
namespace {

// Records the notifications an editor delegate sends to itself.
class RecordingDelegate : public IEditorDelegate {
public:
  explicit RecordingDelegate(int nParams) : IEditorDelegate(nParams) {}

  void SetLimits(int minW, int maxW, int minH, int maxH) {
    minWidth_ = minW;
    maxWidth_ = maxW;
    minHeight_ = minH;
    maxHeight_ = maxH;
  }

  void BeginParamEditFromUI(int) override {}
  void EndParamEditFromUI(int) override {}
  void OnParamValueChange(int paramIdx) override { Log("value", paramIdx); }
  void OnUIParamChange(int paramIdx, ParamChangeSource source) override {
    Log(std::string("ui:") + ParamChangeSourceText(source), paramIdx);
  }
  void SendParamValueToUI(int paramIdx, double value, bool normalized) override {
    sentValues.push_back(value);
    EXPECT_TRUE(normalized);
    IEditorDelegate::SendParamValueToUI(paramIdx, value, normalized);
  }
  bool HandleMessage(int msgTag, int ctrlTag, int dataSize, const void* data) override {
    Log("msg:" + std::to_string(msgTag) + "," + std::to_string(ctrlTag) + "," +
            std::to_string(dataSize),
        0);
    EXPECT_EQ(data, nullptr);
    return true;
  }

  std::vector<std::string> calls;
  std::vector<double> sentValues;

private:
  void Log(const std::string& what, int paramIdx) {
    calls.push_back(what + "#" + std::to_string(paramIdx));
  }
};

TEST(IEditorDelegate, OwnsFreshParametersByIndex) {
  RecordingDelegate delegate(3);
  EXPECT_EQ(delegate.NParams(), 3);
  ASSERT_NE(delegate.GetParam(2), nullptr);
  EXPECT_EQ(delegate.GetParam(2)->Type(), ParamType::None);
  EXPECT_EQ(delegate.GetParam(3), nullptr);
  EXPECT_EQ(delegate.GetParam(-1), nullptr);
}

TEST(IEditorDelegate, ClampEditorSize) {
  RecordingDelegate delegate(0);
  int w = 5, h = 200000;
  EXPECT_FALSE(delegate.ClampEditorSize(w, h));
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 100000);

  delegate.SetLimits(393, 3540, 266, 2400);
  w = 1180;
  h = 800;
  EXPECT_TRUE(delegate.ClampEditorSize(w, h));
  EXPECT_EQ(w, 1180);
  EXPECT_EQ(h, 800);
  w = 200;
  h = 3000;
  EXPECT_FALSE(delegate.ClampEditorSize(w, h));
  EXPECT_EQ(w, 393);
  EXPECT_EQ(h, 2400);
  w = 393;
  h = 2400;
  EXPECT_TRUE(delegate.ClampEditorSize(w, h));
}

TEST(IEditorDelegate, OnAllParamsChangeNotifiesEachIndexInPairs) {
  RecordingDelegate delegate(192);
  delegate.OnAllParamsChange(ParamChangeSource::Preset);
  ASSERT_EQ(delegate.calls.size(), 384u);
  for (int i = 0; i < 192; ++i) {
    EXPECT_EQ(delegate.calls[2 * i], "value#" + std::to_string(i));
    EXPECT_EQ(delegate.calls[2 * i + 1], "ui:Preset#" + std::to_string(i));
  }
}

TEST(IEditorDelegate, ParameterPathsToAndFromTheEditor) {
  RecordingDelegate delegate(2);
  delegate.GetParam(1)->ConfigureDouble("Mix", 25.0, 0.0, 100.0, 0.1, "%", 0, "",
                                        IParam::ShapeLinear());

  delegate.SetParamValueFromUI(1, 0.5);
  EXPECT_DOUBLE_EQ(delegate.GetParam(1)->Value(), 50.0);
  delegate.SetParamValueFromUI(7, 0.5);
  ASSERT_EQ(delegate.calls, std::vector<std::string>{"ui:UI#1"});

  delegate.calls.clear();
  delegate.OnStateRestored();
  EXPECT_EQ(delegate.sentValues, (std::vector<double>{0.0, 0.5}));
  EXPECT_EQ(delegate.calls,
            (std::vector<std::string>{"ui:Editor Delegate#0", "ui:Editor Delegate#1"}));

  // The base editor has no window: opening only pushes the values.
  EXPECT_EQ(delegate.OpenEditor(nullptr), nullptr);
  EXPECT_EQ(delegate.sentValues.size(), 4u);
}

TEST(IEditorDelegate, MessagesReachHandleMessageWithTagsInOrder) {
  RecordingDelegate delegate(0);
  delegate.SendMsgToControl(5, 9, 0, nullptr);
  delegate.SendMsgToUI(3, 0, nullptr);
  EXPECT_EQ(delegate.calls, (std::vector<std::string>{"msg:9,5,0#0", "msg:3,-1,0#0"}));
}

TEST(ParamChangeSource, Texts) {
  EXPECT_STREQ(ParamChangeSourceText(ParamChangeSource::Reset), "Reset");
  EXPECT_STREQ(ParamChangeSourceText(ParamChangeSource::Host), "Host");
  EXPECT_STREQ(ParamChangeSourceText(ParamChangeSource::Preset), "Preset");
  EXPECT_STREQ(ParamChangeSourceText(ParamChangeSource::UI), "UI");
  EXPECT_STREQ(ParamChangeSourceText(ParamChangeSource::EditorDelegate), "Editor Delegate");
  EXPECT_STREQ(ParamChangeSourceText(ParamChangeSource::Recompile), "Recompile");
  EXPECT_STREQ(ParamChangeSourceText(ParamChangeSource::Unknown), "Unknown");
  EXPECT_STREQ(ParamChangeSourceText(static_cast<ParamChangeSource>(42)), "Unknown");
}

} // namespace
} // namespace plugkit
