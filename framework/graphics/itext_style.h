#pragma once

#include "framework/graphics/icolor.h"

#include <cstdint>
#include <cstring>

namespace plugkit::igraphics {

enum class EAlign : int32_t { Near = 0, Center = 1, Far = 2 };
enum class EVAlign : int32_t { Top = 0, Middle = 1, Bottom = 2 };

// The style every text call takes; the font is named by the id it was
// loaded under.
struct ITextStyle {
  static constexpr int kFontIdSize = 64;
  static constexpr float kDefaultSize = 14.f;
  static constexpr float kLargeSize = 19.f;

  char font[kFontIdSize] = "Roboto-Regular";
  float size = kDefaultSize;
  IColor fgColor;
  IColor textEntryBGColor{255, 255, 255, 255};
  IColor textEntryFGColor;
  // Degrees, clockwise.
  float angle = 0.f;
  EAlign align = EAlign::Center;
  EVAlign valign = EVAlign::Middle;

  ITextStyle() = default;
  ITextStyle(float size_, const IColor& color, const char* fontId = nullptr,
             EAlign align_ = EAlign::Center, EVAlign valign_ = EVAlign::Middle, float angle_ = 0.f)
      : size(size_), fgColor(color), angle(angle_), align(align_), valign(valign_) {
    if (fontId) {
      std::strncpy(font, fontId, kFontIdSize - 1);
      font[kFontIdSize - 1] = '\0';
    }
  }
};

} // namespace plugkit::igraphics
