#include "framework/core/utf8_stream_decoder.h"

#include <array>
#include <cstddef>

namespace plugkit {
namespace {

// Byte classes: which bytes may follow in a sequence depends on the lead.
enum ByteClass : uint8_t {
  kAscii,
  kCont80,  // 80-8F
  kCont90,  // 90-9F
  kContA0,  // A0-BF
  kLead2,   // C2-DF
  kLeadE0,  // E0: next A0-BF (no overlong forms)
  kLead3,   // E1-EC, EE-EF
  kLeadED,  // ED: next 80-9F (no surrogates)
  kLeadF0,  // F0: next 90-BF (no overlong forms)
  kLead4,   // F1-F3
  kLeadF4,  // F4: next 80-8F (nothing above U+10FFFF)
  kInvalid, // C0, C1, F5-FF
  kClassCount
};

// States are multiples of the class count so that state + class indexes the
// transition table.
enum State : uint8_t {
  kAccept = 0,
  kReject = 12,
  kNeed1 = 24,
  kNeed2 = 36,
  kAfterE0 = 48,
  kAfterED = 60,
  kAfterF0 = 72,
  kNeed3 = 84,
  kAfterF4 = 96,
  kStateEnd = 108
};
static_assert(kClassCount == 12 && static_cast<uint32_t>(kReject) == kUtf8StreamReject &&
              static_cast<uint32_t>(kAccept) == kUtf8StreamAccept);

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> c{};
  for (int b = 0; b < 256; ++b) {
    uint8_t k = kInvalid;
    if (b < 0x80)
      k = kAscii;
    else if (b < 0x90)
      k = kCont80;
    else if (b < 0xA0)
      k = kCont90;
    else if (b < 0xC0)
      k = kContA0;
    else if (b < 0xC2)
      k = kInvalid;
    else if (b < 0xE0)
      k = kLead2;
    else if (b == 0xE0)
      k = kLeadE0;
    else if (b == 0xED)
      k = kLeadED;
    else if (b < 0xF0)
      k = kLead3;
    else if (b == 0xF0)
      k = kLeadF0;
    else if (b < 0xF4)
      k = kLead4;
    else if (b == 0xF4)
      k = kLeadF4;
    c[static_cast<size_t>(b)] = k;
  }
  return c;
}

constexpr std::array<uint8_t, kStateEnd> MakeTransitions() {
  std::array<uint8_t, kStateEnd> t{};
  for (auto& entry : t) entry = kReject;
  auto set = [&t](State from, ByteClass cls, State to) { t[from + cls] = to; };
  set(kAccept, kAscii, kAccept);
  set(kAccept, kLead2, kNeed1);
  set(kAccept, kLeadE0, kAfterE0);
  set(kAccept, kLead3, kNeed2);
  set(kAccept, kLeadED, kAfterED);
  set(kAccept, kLeadF0, kAfterF0);
  set(kAccept, kLead4, kNeed3);
  set(kAccept, kLeadF4, kAfterF4);
  for (ByteClass cont : {kCont80, kCont90, kContA0}) {
    set(kNeed1, cont, kAccept);
    set(kNeed2, cont, kNeed1);
    set(kNeed3, cont, kNeed2);
  }
  set(kAfterE0, kContA0, kNeed1);
  set(kAfterED, kCont80, kNeed1);
  set(kAfterED, kCont90, kNeed1);
  set(kAfterF0, kCont90, kNeed2);
  set(kAfterF0, kContA0, kNeed2);
  set(kAfterF4, kCont80, kNeed2);
  return t;
}

constexpr std::array<uint8_t, 256> kClasses = MakeClasses();
constexpr std::array<uint8_t, kStateEnd> kTransitions = MakeTransitions();

// Payload bits of a lead byte by its class.
constexpr uint8_t LeadMask(uint8_t cls) {
  switch (cls) {
    case kAscii:
      return 0x7F;
    case kLead2:
      return 0x1F;
    case kLeadE0:
    case kLead3:
    case kLeadED:
      return 0x0F;
    default:
      return 0x07;
  }
}

} // namespace

uint32_t Utf8StreamDecode(uint32_t* state, uint32_t* codepoint, uint8_t byte) {
  if (*state >= kStateEnd || *state % kClassCount != 0) *state = kReject;
  if (*state == kReject) return *state;
  const uint8_t cls = kClasses[byte];
  *codepoint = *state == kAccept ? static_cast<uint32_t>(byte & LeadMask(cls))
                                 : (*codepoint << 6) | (byte & 0x3Fu);
  *state = kTransitions[*state + cls];
  return *state;
}

} // namespace plugkit
