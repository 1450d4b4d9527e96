#include "framework/vst3/plugin_vst3.h"

#include "framework/core/byte_chunk.h"
#include "pluginterfaces/base/ibstream.h"

#include <cstdint>

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kReadPiece = 128;
constexpr int kMaxDefaultStateBytes = 0x100000;

} // namespace

tresult IPluginVST3::WriteDefaultState(IBStream* state) {
  if (!state) return kResultFalse;
  ByteChunk chunk;
  if (!SerializeState(chunk)) return kResultFalse;
  int32 written = 0;
  if (chunk.Size() > 0 && state->write(chunk.Data(), chunk.Size(), &written) != kResultOk)
    return kResultFalse;
  const int32_t bypass = IsBypassed() ? 1 : 0;
  if (state->write(const_cast<int32_t*>(&bypass), sizeof(bypass), &written) != kResultOk)
    return kResultFalse;
  return kResultOk;
}

tresult IPluginVST3::ReadDefaultState(IBStream* state) {
  if (!state) return kResultFalse;
  // The whole stream is read first so that nothing is applied from a state
  // that turns out to be too large or cut short.
  ByteChunk chunk;
  const bool keepReadingAfterError = GetHost() == kHostWaveLab;
  for (;;) {
    uint8_t piece[kReadPiece];
    int32 read = 0;
    const tresult result = state->read(piece, kReadPiece, &read);
    if (read <= 0 || (result != kResultOk && !keepReadingAfterError)) break;
    if (read > kReadPiece || chunk.Size() + read > kMaxDefaultStateBytes) return kResultFalse;
    const int before = chunk.Size();
    if (chunk.PutBytes(piece, read) != before + read) return kResultFalse;
  }
  // The plug-in's state reader is the only judge of where its state ends,
  // so a bypass field found bad after it was read rolls the state back.
  ByteChunk previous;
  if (!SerializeState(previous)) return kResultFalse;
  const int end = UnserializeState(chunk, 0);
  if (end < 0) return kResultFalse;
  int32_t bypass = -1;
  if (chunk.Get(bypass, end) < 0 || (bypass != 0 && bypass != 1)) {
    UnserializeState(previous, 0);
    return kResultFalse;
  }
  PublishRestoredState(bypass == 1);
  return kResultOk;
}

void IPluginVST3::PublishRestoredState(bool bypassed) {
  for (int i = 0, n = NParams(); i < n; ++i)
    SetControllerParamNormalized(static_cast<ParamID>(i),
                                 GetParam(i)->NormalizeValue(GetParam(i)->Value()));
  SetControllerParamNormalized(kBypassParamId, bypassed ? 1.0 : 0.0);
  OnStateRestored();
}

} // namespace plugkit
