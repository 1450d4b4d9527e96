#include "tests/framework/vst3/vst3_test_plugin.h"
#include "tests/support/failing_stream.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace plugkit::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(Vst3Component, InitializeNamesTheHostOnce) {
  auto plug = owned(new GainPlugin());
  NamedHost host{u"REAPER x64"};
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  EXPECT_EQ(plug->GetHost(), kHostReaper);
  EXPECT_STREQ(plug->GetHostName(), "REAPER x64");
  plug->terminate();

  auto named = owned(new GainPlugin());
  named->SetHost("WaveLab 12", 0);
  ASSERT_EQ(named->initialize(&host), kResultOk);
  EXPECT_EQ(named->GetHost(), kHostWaveLab) << "an identity set before initialize stays";
  named->terminate();
}

TEST(Vst3Component, OneObjectBehindEveryInterface) {
  auto plug = owned(new GainPlugin());
  EXPECT_TRUE(plug->isA("IPluginVST3"));
  EXPECT_TRUE(plug->isTypeOf("SingleComponentEffect", true));
  EXPECT_TRUE(plug->isTypeOf("FObject", true));
  for (const FUID* iid :
       {&IMidiMapping::iid, &ChannelContext::IInfoListener::iid, &IAudioProcessor::iid,
        &IEditController::iid, &IComponent::iid, &IUnitInfo::iid}) {
    FUnknown* obj = nullptr;
    ASSERT_EQ(plug->queryInterface(iid->toTUID(), reinterpret_cast<void**>(&obj)), kResultOk);
    ASSERT_NE(obj, nullptr);
    obj->release();
  }
  FUnknownPtr<IAudioProcessor> processor(static_cast<IEditController*>(plug.get()));
  FUnknownPtr<IMidiMapping> mapping(processor);
  EXPECT_EQ(static_cast<void*>(static_cast<IMidiMapping*>(plug.get())),
            static_cast<void*>(mapping.getInterface()));
}

class Vst3State : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(plug->initialize(&host), kResultOk); }
  void TearDown() override { plug->terminate(); }

  std::vector<uint8_t> Saved() {
    MemoryStream stream;
    EXPECT_EQ(plug->getState(&stream), kResultOk);
    const auto* bytes = reinterpret_cast<const uint8_t*>(stream.getData());
    return std::vector<uint8_t>(bytes, bytes + stream.getSize());
  }
  tresult Load(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(const_cast<uint8_t*>(bytes.data()), static_cast<TSize>(bytes.size()));
    return plug->setState(&stream);
  }

  NamedHost host{u"Test Host"};
  IPtr<GainPlugin> plug = owned(new GainPlugin());
};

TEST_F(Vst3State, DefaultStateRoundTripsValuesAndController) {
  plug->setParamNormalized(0, 0.5);
  plug->setParamNormalized(2, 0.3);
  const std::vector<uint8_t> saved = Saved();
  ASSERT_EQ(saved.size(), 4u * 8u + 4u) << "the values, then the bypass flag";
  plug->setParamNormalized(0, 1.0);
  plug->setParamNormalized(2, 1.0);
  ASSERT_EQ(Load(saved), kResultOk);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 2.0);
  EXPECT_DOUBLE_EQ(plug->GetParam(2)->Value(), 3.0);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(0), 0.5);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(2), 0.3);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(kBypassParamId), 0.0);
}

TEST_F(Vst3State, BadDefaultStatesChangeNothing) {
  plug->setParamNormalized(0, 0.5);
  std::vector<uint8_t> saved = Saved();
  plug->setParamNormalized(0, 0.75);
  std::vector<uint8_t> badBypass = saved;
  badBypass.back() = 2;
  std::vector<uint8_t> noBypass(saved.begin(), saved.end() - 4);
  std::vector<uint8_t> tooShort(saved.begin(), saved.begin() + 10);
  std::vector<uint8_t> huge(2 * 1024 * 1024, 0);
  for (const auto* bytes : {&badBypass, &noBypass, &tooShort, &huge}) {
    EXPECT_EQ(Load(*bytes), kResultFalse);
    EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 3.0);
  }
  EXPECT_EQ(plug->setState(nullptr), kResultFalse);
  EXPECT_EQ(plug->getState(nullptr), kResultFalse);

  testsupport::FailingStream failing(saved, 16);
  EXPECT_EQ(plug->setState(&failing), kResultFalse);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 3.0);
}

// A stream that delivers its bytes but reports an error status with every
// read, as some hosts' streams do.
class ErrorStatusStream : public MemoryStream {
public:
  explicit ErrorStatusStream(const std::vector<uint8_t>& bytes) {
    int32 written = 0;
    write(const_cast<uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()), &written);
    seek(0, kIBSeekSet, nullptr);
  }
  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override {
    MemoryStream::read(buffer, numBytes, numBytesRead);
    return kResultFalse;
  }
};

TEST_F(Vst3State, OnlyWaveLabReadsOnAfterAnErrorStatus) {
  plug->setParamNormalized(0, 0.5);
  const std::vector<uint8_t> saved = Saved();
  plug->setParamNormalized(0, 0.75);

  ErrorStatusStream stopsAtOnce(saved);
  EXPECT_EQ(plug->setState(&stopsAtOnce), kResultFalse);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 3.0);

  auto wavelab = owned(new GainPlugin());
  wavelab->SetHost("WaveLab 12", 0);
  ASSERT_EQ(wavelab->initialize(&host), kResultOk);
  ErrorStatusStream readsOn(saved);
  EXPECT_EQ(wavelab->setState(&readsOn), kResultOk);
  EXPECT_DOUBLE_EQ(wavelab->GetParam(0)->Value(), 2.0);
  EXPECT_DOUBLE_EQ(wavelab->getParamNormalized(0), 0.5);
  wavelab->terminate();
}

TEST(Vst3Controller, SyncingSendsEveryValueAndUpdatesTheController) {
  auto plug = owned(new GainPlugin());
  NamedHost host{u"Test Host"};
  auto handler = owned(new RecordingHandler());
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  ASSERT_EQ(plug->setComponentHandler(handler), kResultOk);
  plug->GetParam(0)->Set(3.0);
  plug->GetParam(2)->Set(5.0);
  plug->SyncAllParamsToHost();
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(0), 0.75);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(2), 0.5);
  EXPECT_EQ(handler->log,
            (std::vector<std::string>{"perform 0", "perform 1", "perform 2", "perform 3"}));
  plug->terminate();
}

TEST(Vst3Controller, EditsFromTheEditorReachTheHost) {
  auto plug = owned(new GainPlugin());
  NamedHost host{u"Test Host"};
  auto handler = owned(new RecordingHandler());
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  ASSERT_EQ(plug->setComponentHandler(handler), kResultOk);
  plug->BeginParamEditFromUI(0);
  plug->SetParamValueFromUI(0, 0.5);
  plug->EndParamEditFromUI(0);
  EXPECT_EQ(handler->log, (std::vector<std::string>{"begin 0", "perform 0", "end 0"}));
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 2.0);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(0), 0.5);

  handler->log.clear();
  plug->InformHostParamDetailsChanged();
  EXPECT_EQ(handler->log, (std::vector<std::string>{"restart 16"}));
  plug->terminate();
}

TEST(Vst3Controller, ProgramNamesChannelContextAndTail) {
  auto plug = owned(new GainPlugin());
  NamedHost host{u"Test Host"};
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  String128 name{};
  EXPECT_EQ(plug->getProgramName(kPresetParamId, 5, name), kResultOk);
  EXPECT_EQ(name[0], 0);
  EXPECT_EQ(plug->getProgramName(0, 0, name), kResultFalse);

  IPtr<IAttributeList> list = HostAttributeList::make();
  const TChar channelName[] = u"Vocals";
  list->setInt(ChannelContext::kChannelNameLengthKey, 6);
  list->setString(ChannelContext::kChannelNameKey, channelName);
  list->setInt(ChannelContext::kChannelColorKey, 0xFF102030);
  list->setInt(ChannelContext::kChannelIndexKey, 4);
  list->setInt(ChannelContext::kChannelIndexNamespaceOrderKey, 2);
  ASSERT_EQ(plug->setChannelContextInfos(list), kResultOk);
  EXPECT_EQ(plug->setChannelContextInfos(nullptr), kResultFalse);
  StringBuffer text;
  plug->GetChannelName(text);
  EXPECT_STREQ(text.Get(), "Vocals");
  int r = 0, g = 0, b = 0;
  plug->GetChannelColor(r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0x10, 0x20, 0x30}));
  EXPECT_EQ(plug->GetChannelIndex(), 4);
  EXPECT_EQ(plug->GetChannelNamespaceIndex(), 2);

  EXPECT_EQ(plug->getTailSamples(), kNoTail);
  plug->SetTailLength(0x7FFFFFFF);
  EXPECT_EQ(plug->getTailSamples(), kInfiniteTail);
  plug->SetTailLength(300);
  EXPECT_EQ(plug->getTailSamples(), 300u);
  plug->terminate();
}

} // namespace
} // namespace plugkit::test
