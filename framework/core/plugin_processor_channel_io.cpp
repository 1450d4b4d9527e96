#include "framework/core/plugin_processor.h"

#include <algorithm>
#include <cctype>

namespace plugkit {

namespace {

// Reads a bus token the way "%d" would (leading blanks, a sign, digits; no
// number gives 0), with "*" for any channel count. Numbers too large for a
// bus make the token invalid instead of overflowing.
bool ReadBusToken(const char* begin, const char* end, int& channels) {
  if (end - begin == 1 && *begin == '*') {
    channels = kAnyChannelCount;
    return true;
  }
  const char* p = begin;
  while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  long long value = 0;
  for (; p < end && std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    value = value * 10 + (*p - '0');
    if (value > kMaxChannelsPerBus) return false;
  }
  if (negative && value != 0) return false;
  channels = static_cast<int>(value);
  return true;
}

// Appends the buses of one side ("2.2", "*", "") to config; false when a
// token is invalid or there are too many buses.
bool ParseSide(const char* begin, const char* end, int direction, ChannelIOConfig& config,
               int& total) {
  total = 0;
  const char* token = begin;
  while (true) {
    const char* tokenEnd = std::find(token, end, '.');
    int channels = 0;
    if (!ReadBusToken(token, tokenEnd, channels)) return false;
    total += channels;
    if (channels != 0) {
      if (config.NBuses(direction) == kMaxBusesPerSide) return false;
      config.AddBus(new BusSpec{direction, channels});
    }
    if (tokenEnd == end) return true;
    token = tokenEnd + 1;
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

int IPluginProcessor::ParseChannelIO(const char* text, PointerList<ChannelIOConfig>& configs,
                                     int& maxIn, int& maxOut, int& maxInBuses, int& maxOutBuses) {
  maxIn = maxOut = maxInBuses = maxOutBuses = 0;
  if (!text) return 0;
  int parsed = 0;
  const char* p = text;
  while (*p) {
    while (*p && IsBlank(*p)) ++p;
    const char* begin = p;
    while (*p && !IsBlank(*p)) ++p;
    if (p == begin) break;
    const char* dash = std::find(begin, p, '-');
    const char* outputBegin = dash == p ? p : dash + 1;

    auto config = std::make_unique<ChannelIOConfig>();
    int totalIn = 0;
    int totalOut = 0;
    if (!ParseSide(begin, dash, kDirectionInput, *config, totalIn) ||
        !ParseSide(outputBegin, p, kDirectionOutput, *config, totalOut))
      continue;
    const int before = configs.Count();
    const int nInBuses = config->NBuses(kDirectionInput);
    const int nOutBuses = config->NBuses(kDirectionOutput);
    configs.Add(config.get());
    if (configs.Count() == before) continue;
    config.release();
    ++parsed;
    maxIn = std::max(maxIn, totalIn);
    maxOut = std::max(maxOut, totalOut);
    maxInBuses = std::max(maxInBuses, nInBuses);
    maxOutBuses = std::max(maxOutBuses, nOutBuses);
  }
  return parsed;
}

int IPluginProcessor::FindIoConfigForBusCounts(const int* inputCounts, int nInputBuses,
                                               const int* outputCounts, int nOutputBuses) const {
  const auto matches = [](const ChannelIOConfig& config, int direction, const int* counts,
                          int nBuses) {
    if (config.NBuses(direction) != nBuses) return false;
    for (int bus = 0; bus < nBuses; ++bus) {
      if (config.NChannelsOnBus(direction, bus) != counts[bus]) return false;
    }
    return true;
  };
  for (int i = 0; i < ioConfigs_.Count(); ++i) {
    const ChannelIOConfig& config = *ioConfigs_.Get(i);
    if (matches(config, kDirectionInput, inputCounts, nInputBuses) &&
        matches(config, kDirectionOutput, outputCounts, nOutputBuses))
      return i;
  }
  return -1;
}

int IPluginProcessor::MostBusesInConfigs(int direction, int& configIdx) const {
  int most = 0;
  configIdx = -1;
  for (int i = 0; i < ioConfigs_.Count(); ++i) {
    const int buses = ioConfigs_.Get(i)->NBuses(direction);
    if (configIdx < 0 || buses >= most) {
      most = buses;
      configIdx = i;
    }
  }
  return most;
}

int IPluginProcessor::MaxChannelsOnBus(int direction, int busIdx) const {
  const ChannelIOConfig* first = ioConfigs_.Get(0);
  if (first) {
    for (int bus = 0; bus < first->NBuses(direction); ++bus) {
      if (first->NChannelsOnBus(direction, bus) == kAnyChannelCount) return -1;
    }
  }
  int most = 0;
  for (int i = 0; i < ioConfigs_.Count(); ++i)
    most = std::max(most, ioConfigs_.Get(i)->NChannelsOnBus(direction, busIdx));
  return most;
}

} // namespace plugkit
