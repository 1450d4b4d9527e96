#pragma once

namespace testsupport {

// The sizes of the chunks that hosts keep in saved projects, written out here
// so that a change to a layout fails the tests instead of following along.
// State: tag, version, count, two banks of 192 values, preset index, active
// bank, two learned sets of 24 filters of 24 bytes.
constexpr int kStateChunkBytes = 12 + 2 * 192 * 4 + 4 + 4 + 2 * 24 * 24;
// Preset: tag, version, count, 192 values, preset index.
constexpr int kPresetChunkBytes = 12 + 192 * 4 + 4;
// The VST3 component state: the state chunk, then the host's bypass flag.
constexpr int kComponentStateBytes = kStateChunkBytes + 4;

static_assert(kStateChunkBytes == 2708 && kPresetChunkBytes == 784);

} // namespace testsupport
