#pragma once

#include "framework/core/heap_buffer.h"
#include "framework/core/queue_messages.h"

namespace plugkit {

// MIDI messages a block sends, kept in order of sample offset until the
// host's output event list takes them. Messages with equal offsets keep their
// order of arrival. Adding allocates only when the queue is full of unsent
// messages.
class MidiOutQueue {
public:
  static constexpr int kDefaultGrowthStep = 512;

  MidiOutQueue();

  // False when the message had to be dropped (the queue could not grow).
  bool Add(const MidiMessage& message);
  // Capacity becomes the larger of blockSize and the waiting entries, rounded
  // up to a multiple of the block size rounded to 512; sent entries go.
  void SetBlockSize(int blockSize);
  int Waiting() const { return count_ - readPos_; }
  const MidiMessage& Waiting(int i) const { return Entries()[readPos_ + i]; }
  // Everything up to the read position has been sent.
  void MarkSent(int n) { readPos_ += n; }
  void DropSent();
  // Moves the waiting entries' offsets into the next block.
  void ShiftOffsets(int nFrames);
  int Capacity() const { return capacity_; }

private:
  MidiMessage* Entries() { return reinterpret_cast<MidiMessage*>(buffer_.Data()); }
  const MidiMessage* Entries() const {
    return reinterpret_cast<const MidiMessage*>(buffer_.Data());
  }
  bool Reserve(int entries);

  HeapBuffer buffer_{4096};
  int capacity_ = 0;
  int growthStep_ = kDefaultGrowthStep;
  int readPos_ = 0;
  int count_ = 0;
};

} // namespace plugkit
