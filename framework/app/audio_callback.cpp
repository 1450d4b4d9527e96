#include "framework/app/audio_callback.h"

#include "framework/app/app_host.h"
#include "framework/core/channel_io.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

namespace plugkit {

namespace {

void SilenceChannels(double* buffer, int nChannels, size_t nFrames) {
  if (buffer && nChannels > 0)
    std::memset(buffer, 0, sizeof(double) * nFrames * static_cast<size_t>(nChannels));
}

double* ChannelAt(double* buffer, int channel, int nFrames, int frame) {
  if (!buffer) return nullptr;
  return buffer + static_cast<size_t>(channel) * static_cast<size_t>(nFrames) +
         static_cast<size_t>(frame);
}

} // namespace

void FadeChannels(double* buffer, int nChannels, int nFrames, bool fadeOut) {
  if (!buffer || nFrames <= 0) return;
  for (int c = 0; c < nChannels; ++c) {
    double* samples = ChannelAt(buffer, c, nFrames, 0);
    for (int k = 0; k < nFrames; ++k) {
      const int step = fadeOut ? nFrames - 1 - k : k;
      samples[k] *= static_cast<double>(step) / static_cast<double>(nFrames);
    }
  }
}

int HostAudioCallback(void* outputBuffer, void* inputBuffer, unsigned int nFrames, double,
                      AudioStreamStatus, void* userData) {
  auto* host = static_cast<AppHost*>(userData);
  if (!host) return 0;
  host->buffersAsked_.fetch_add(1, std::memory_order_relaxed);
  if (nFrames == 0) return 0;
  IPluginApp& plug = *host->plug_;
  const int nIn = plug.NChannels(kDirectionInput);
  const int nOut = plug.NChannels(kDirectionOutput);
  auto* input = static_cast<double*>(inputBuffer);
  auto* output = static_cast<double*>(outputBuffer);

  // A stream the host did not prepare has no channel pointers to hand over.
  const bool prepared = host->inputPointers_.Count() == nIn &&
                        host->outputPointers_.Count() == nOut &&
                        plug.GetBlockSize() >= AppHost::SubBlockFrames;
  if (!prepared || nFrames > static_cast<unsigned int>(INT_MAX)) {
    SilenceChannels(output, nOut, nFrames);
    return 0;
  }
  if (host->audioDone_.load()) {
    SilenceChannels(output, nOut, nFrames);
    host->callbackCount_ = 1;
    return 0;
  }

  // Read once, so the buffer that acknowledges the stop is the one faded out.
  const bool exiting = host->audioExiting_.load();
  const bool fade = host->callbackCount_ == 0 || exiting;
  const int frames = static_cast<int>(nFrames);
  if (fade) FadeChannels(input, nIn, frames, exiting);

  // Sub-blocks end where the stream reaches a multiple of the sub-block size
  // or where the buffer ends, whichever comes first; a sub-block cut by the
  // buffer's end goes on in the next buffer. Every frame is handed over once,
  // in the buffer it arrived in, so nothing is delayed.
  for (int f = 0; f < frames;) {
    const int n = std::min(AppHost::SubBlockFrames - host->frameCounter_, frames - f);
    for (int c = 0; c < nIn; ++c) host->inputPointers_.Set(c, ChannelAt(input, c, frames, f));
    for (int c = 0; c < nOut; ++c) host->outputPointers_.Set(c, ChannelAt(output, c, frames, f));
    plug.ProcessHostBlock(host->inputPointers_.Data(), host->outputPointers_.Data(), n);
    host->samplesElapsed_ += n;
    host->frameCounter_ = (host->frameCounter_ + n) % AppHost::SubBlockFrames;
    f += n;
  }

  if (fade) FadeChannels(output, nOut, frames, exiting);
  if (exiting) host->audioDone_.store(true);
  host->callbackCount_ = 1;
  return 0;
}

} // namespace plugkit
