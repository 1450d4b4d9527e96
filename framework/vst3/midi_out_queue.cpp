#include "framework/vst3/midi_out_queue.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace plugkit {

namespace {

int RoundUp(int n, int step) {
  if (n <= 0) return step;
  if (n > INT_MAX - step) return INT_MAX / step * step;
  return (n + step - 1) / step * step;
}

} // namespace

MidiOutQueue::MidiOutQueue() { Reserve(kDefaultGrowthStep); }

bool MidiOutQueue::Reserve(int entries) {
  if (entries <= capacity_) return true;
  const long long bytes =
      static_cast<long long>(entries) * static_cast<long long>(sizeof(MidiMessage));
  if (bytes > INT_MAX) return false;
  buffer_.Resize(static_cast<int>(bytes), false);
  if (buffer_.Size() != bytes) return false;
  capacity_ = entries;
  return true;
}

bool MidiOutQueue::Add(const MidiMessage& message) {
  if (count_ == capacity_) {
    if (readPos_ > 0)
      DropSent();
    else if (!Reserve(RoundUp(capacity_ + 1, growthStep_)))
      return false;
  }
  MidiMessage* entries = Entries();
  int at = count_;
  while (at > readPos_ && entries[at - 1].offset > message.offset) --at;
  std::memmove(entries + at + 1, entries + at,
               sizeof(MidiMessage) * static_cast<size_t>(count_ - at));
  entries[at] = message;
  ++count_;
  return true;
}

void MidiOutQueue::SetBlockSize(int blockSize) {
  DropSent();
  growthStep_ = RoundUp(blockSize, kDefaultGrowthStep);
  Reserve(RoundUp(std::max(blockSize, count_), growthStep_));
}

void MidiOutQueue::DropSent() {
  if (readPos_ == 0) return;
  MidiMessage* entries = Entries();
  std::memmove(entries, entries + readPos_,
               sizeof(MidiMessage) * static_cast<size_t>(count_ - readPos_));
  count_ -= readPos_;
  readPos_ = 0;
}

void MidiOutQueue::ShiftOffsets(int nFrames) {
  MidiMessage* entries = Entries();
  for (int i = readPos_; i < count_; ++i) entries[i].offset -= nFrames;
}

} // namespace plugkit
