#pragma once

namespace plugkit {

// RtAudio's stream status; the callback passes it through unread.
using AudioStreamStatus = unsigned int;

// Called by the device for every buffer of non-interleaved 64-bit samples,
// channel after channel, with the AppHost as user data. Runs the plug-in
// over the buffer in sub-blocks, fades in on the first buffer of a stream
// and out when the stream is being stopped, then stays silent. Always 0:
// the stream goes on.
int HostAudioCallback(void* outputBuffer, void* inputBuffer, unsigned int nFrames,
                      double streamTime, AudioStreamStatus status, void* userData);

// Multiplies each channel's nFrames samples by a linear ramp over the whole
// buffer: k / nFrames fading in, (nFrames - 1 - k) / nFrames fading out.
void FadeChannels(double* buffer, int nChannels, int nFrames, bool fadeOut);

} // namespace plugkit
