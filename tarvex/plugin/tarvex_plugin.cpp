#include "tarvex/plugin/tarvex_plugin.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "framework/core/byte_chunk.h"
#include "framework/graphics/igraphics.h"
#include "tarvex/editor/editor_layout.h"
#include "tarvex/engine/factory_presets.h"
#include "tarvex/engine/tail_length.h"
#include "tarvex/plugin/editor_graphics.h"
#include "tarvex/plugin/preset_chunk.h"
#include "tarvex/plugin/tarvex_config.h"
#include "tarvex/plugin/tarvex_params.h"

namespace tarvex {
namespace {

constexpr double kFallbackSampleRate = 48000.0;
constexpr double kLongestTail = 2147483646.0;

// The draw scale at which the layout fills a parent window of width x height
// pixels, at the platform's window scale s; not limited to the scale range.
float FittingScale(int width, int height, float s) {
  return std::min(static_cast<float>(height) / (s * kEditorHeight),
                  static_cast<float>(width) / (s * kEditorWidth));
}

bool UsableWindowScale(float s) { return std::isfinite(s) && s > 0.f; }

} // namespace

Tarvex::Tarvex(const TarvexInstanceInfo& info)
    : TarvexApiBase(info, TarvexConfig()), engine_(FeedbackEngine::Create()) {
  for (int i = 0; i < kParamCount; ++i) ConfigureParamFromTable(*GetParam(i), i);
  const auto& presets = FactoryPresets();
  for (int i = 0; i < kFactoryPresetCount; ++i) {
    plugkit::ByteChunk chunk;
    WritePresetChunk(chunk, PresetChunkData{presets[i].values, i});
    FillNextPresetSlot(presets[i].name, chunk);
  }
  UpdateTailLength();
  layoutFunc_ = [this](plugkit::igraphics::IGraphics* graphics) {
    LayoutEditorCallback(*this, graphics);
  };
#ifdef _WIN32
  makeGraphicsFunc_ = [this] { return CreateEditorGraphics(*this); };
#endif
}

// The editor goes first, while the whole instance still exists: its controls
// end the host edits they hold open as they go.
Tarvex::~Tarvex() { CloseEditor(); }

void Tarvex::OnParentWindowResize(int width, int height) {
  plugkit::igraphics::IGraphics* graphics = GetUI();
  if (resizeGuard_ || !graphics || graphics->NControls() == 0 || width <= 0 || height <= 0) return;
  const float s = graphics->GetPlatformWindowScale();
  if (!UsableWindowScale(s)) return;
  const float fitting = FittingScale(width, height, s);
  const float scale = std::clamp(fitting, kEditorMinScale, kEditorMaxScale);
  resizeGuard_ = true;
  graphics->Resize(kEditorWidth, kEditorHeight, scale, scale != fitting);
  resizeGuard_ = false;
}

void Tarvex::ConstrainParentWindowSize(int& width, int& height) const {
  const plugkit::igraphics::IGraphics* graphics = GetUI();
  const float s = graphics ? graphics->GetPlatformWindowScale() : 0.f;
  if (!graphics || graphics->NControls() == 0 || width <= 0 || height <= 0 ||
      !UsableWindowScale(s)) {
    TarvexApiBase::ConstrainParentWindowSize(width, height);
    return;
  }
  const float scale = std::clamp(FittingScale(width, height, s), kEditorMinScale, kEditorMaxScale);
  width = graphics->WindowPixels(kEditorWidth, scale);
  height = graphics->WindowPixels(kEditorHeight, scale);
}

void Tarvex::OnActivate(bool active) {
  if (active)
    PrepareEngine();
  else
    ready_.store(false);
}

void Tarvex::OnReset() { PrepareEngine(); }

void Tarvex::PrepareEngine() {
  double fs = GetSampleRate();
  if (!std::isfinite(fs) || !(fs > 0.0)) fs = kFallbackSampleRate;
  const ParamValues values = CurrentValues();
  engine_->SetParams(values.data());
  try {
    engine_->Prepare(fs, kChunkFrames);
  } catch (const std::exception&) {
    // The engine refused the rate and kept its previous state; processing
    // with it would run at the wrong rate, so the instance stays silent
    // until a preparation succeeds.
    ready_.store(false);
    return;
  }
  sampleRate_.store(fs);
  SetLatency(0);
  UpdateTailLength();
  ready_.store(true);
}

ParamValues Tarvex::CurrentValues() const {
  ParamValues values;
  for (int i = 0; i < kParamCount; ++i) values[i] = static_cast<float>(GetParam(i)->Value());
  return values;
}

// The count is read after the values: a block that read any value stored
// here sees the count odd or moved on.
void Tarvex::PassValuesToEngine() {
  const ParamValues values = CurrentValues();
  const std::uint32_t loads = valueLoads_.load();
  if (loads != valueLoadsSeen_ || (loads & 1u))
    engine_->LoadParams(values.data());
  else
    engine_->SetParams(values.data());
  valueLoadsSeen_ = loads;
}

void Tarvex::ApplyParamValues(const ParamValues& values, bool notifyHost) {
  valueLoads_.fetch_add(1u);
  for (int i = 0; i < kParamCount; ++i) {
    plugkit::IParam& param = *GetParam(i);
    if (notifyHost) BeginHostParamEdit(i);
    param.Set(values[i]);
    const double normalized = param.NormalizeValue(param.Value());
    if (notifyHost) {
      SendParamValueToHost(i, normalized);
      EndHostParamEdit(i);
    }
    SendParamValueToUI(i, normalized, true);
  }
  valueLoads_.fetch_add(1u);
  UpdateTailLength();
}

void Tarvex::LoadFactoryPreset(int index) {
  if (index < 0 || index >= kFactoryPresetCount) return;
  ApplyParamValues(FactoryPresets()[index].values, true);
  presetIndex_.exchange(index);
}

int Tarvex::FindMatchingFactoryPreset() const {
  const auto& presets = FactoryPresets();
  for (int p = 0; p < kFactoryPresetCount; ++p) {
    bool matches = true;
    for (int i = 0; i < kParamCount && matches; ++i) {
      const ParamSpec& spec = ParamSpecAt(i);
      const double tolerance =
          std::max((static_cast<double>(spec.maxValue) - spec.minValue) * 2e-6, 1e-5);
      matches = std::fabs(GetParam(i)->Value() - presets[p].values[i]) <= tolerance;
    }
    if (matches) return p;
  }
  return -1;
}

void Tarvex::UpdateTailLength() {
  const ParamValues values = CurrentValues();
  const double fs = sampleRate_.load();
  const double seconds = ComputeTailSeconds(values.data(), fs);
  if (std::isinf(seconds)) {
    tailLength_.store(-1);
    return;
  }
  const double samples = std::ceil(seconds * fs);
  tailLength_.store(samples >= kLongestTail ? static_cast<std::int32_t>(kLongestTail)
                    : samples > 0.0         ? static_cast<std::int32_t>(samples)
                                            : 0);
}

void Tarvex::OnParamValueChange(int) { UpdateTailLength(); }

void Tarvex::OnAllParamsChange(plugkit::ParamChangeSource) { UpdateTailLength(); }

} // namespace tarvex
