#pragma once

#include <cstdint>

namespace plugkit {

// Why a parameter changed.
enum class ParamChangeSource : int32_t {
  Reset = 0,
  Host = 1,
  Preset = 2,
  UI = 3,
  EditorDelegate = 4,
  Recompile = 5,
  Unknown = 6,
};

// The source's name as trace lines show it; "Unknown" for values outside the
// enumeration.
constexpr const char* ParamChangeSourceText(ParamChangeSource source) {
  switch (source) {
    case ParamChangeSource::Reset:
      return "Reset";
    case ParamChangeSource::Host:
      return "Host";
    case ParamChangeSource::Preset:
      return "Preset";
    case ParamChangeSource::UI:
      return "UI";
    case ParamChangeSource::EditorDelegate:
      return "Editor Delegate";
    case ParamChangeSource::Recompile:
      return "Recompile";
    case ParamChangeSource::Unknown:
      break;
  }
  return "Unknown";
}

} // namespace plugkit
