#include "framework/vst3/vst3_key_press.h"

#include "framework/graphics/utf_conversion.h"

namespace plugkit {

namespace {

// VST3 codes from here on stand for the ASCII character 80 below them.
constexpr int32_t kFirstAsciiKeyCode = 128;
constexpr int32_t kAsciiKeyCodeOffset = 80;
constexpr int32_t kSpaceKeyCode = 7;
constexpr int32_t kEqualsKeyCode = 57;

// Windows keys of the VST3 codes 1 to 56 (index = code); 0 and 57 stand for
// characters and are answered by the keyboard layout.
constexpr int32_t kWindowsKeys[kEqualsKeyCode] = {
    0,   8,   9,   12,                      // back, tab, clear
    13,  19,  27,  32,  34,                 // return, pause, escape, space, next
    35,  36,  37,  38,  39,  40,            // end, home, left, up, right, down
    33,  34,  41,  42,  13,                 // page up, page down, select, print, enter
    44,  45,  46,  47,                      // snapshot, insert, delete, help
    96,  97,  98,  99,  100, 101, 102, 103, // numeric pad 0 to 7
    104, 105, 106, 107, 108, 109, 110, 111, // 8, 9, multiply, add, separator, ...
    112, 113, 114, 115, 116, 117, 118, 119, // F1 to F8
    120, 121, 122, 123,                     // F9 to F12
    144, 145, 16,  17,  18,                 // num lock, scroll lock, shift, control, alt
};

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

} // namespace

int32_t VirtualKeyFromVST3(int32_t keyCode, char character) {
  if (keyCode == 0 || keyCode == kEqualsKeyCode) return VirtualKeyForCharacter(character);
  if (keyCode >= kFirstAsciiKeyCode) return keyCode - kAsciiKeyCodeOffset;
  if (keyCode > 0 && keyCode < kEqualsKeyCode) return kWindowsKeys[keyCode];
  return 0;
}

igraphics::IKeyPress KeyPressFromVST3(char16_t key, int32_t keyCode, int32_t modifiers) {
  if (key == 0) {
    if (keyCode >= kFirstAsciiKeyCode)
      key = static_cast<char16_t>(keyCode - kAsciiKeyCodeOffset);
    else if (keyCode == kSpaceKeyCode)
      key = u' ';
  }
  igraphics::IKeyPress press;
  // A lone half of a surrogate pair is no character of its own.
  if (key != 0 && !IsSurrogate(key))
    igraphics::EncodeUTF8(press.utf8, static_cast<int>(key), sizeof(press.utf8));
  press.VK = VirtualKeyFromVST3(keyCode, press.utf8[0]);
  press.S = (modifiers & 1) != 0;
  press.A = (modifiers & 2) != 0;
  press.C = (modifiers & 4) != 0;
  return press;
}

} // namespace plugkit
