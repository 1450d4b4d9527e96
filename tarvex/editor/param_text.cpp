#include "tarvex/editor/param_text.h"

#include "tarvex/engine/param_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tarvex {
namespace {

bool IsQParam(int paramIdx) {
  return paramIdx == kParamAutoQ ||
         (paramIdx >= kSlotParamBase && (paramIdx - kSlotParamBase) % kSlotFieldCount == kSlotQ);
}

bool Is(const char* unit, const char* name) { return std::strcmp(unit, name) == 0; }

// The factor that turns a value typed with the suffix into the unit, or 0
// when the unit does not accept the suffix. An empty suffix is the unit.
double SuffixFactor(const char* unit, const std::string& suffix) {
  if (suffix.empty()) return 1.0;
  if (Is(unit, "Hz")) {
    if (suffix == "hz") return 1.0;
    if (suffix == "k" || suffix == "khz") return 1000.0;
  } else if (Is(unit, "ms")) {
    if (suffix == "ms") return 1.0;
    if (suffix == "s") return 1000.0;
  } else if (Is(unit, "s")) {
    if (suffix == "s") return 1.0;
    if (suffix == "ms") return 0.001;
  } else if (Is(unit, "dB") || Is(unit, "dBFS")) {
    if (suffix == "db" || suffix == "dbfs") return 1.0;
  } else if (Is(unit, "dB/s")) {
    if (suffix == "db/s") return 1.0;
  } else if (Is(unit, "%")) {
    if (suffix == "%") return 1.0;
  } else if (Is(unit, "Q")) {
    if (suffix == "q") return 1.0;
  }
  return 0.0;
}

} // namespace

double ShownValue(double value, int decimals) {
  // "%.2f" of the largest double: 309 digits, sign, point, two decimals.
  char text[320];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return std::strtod(text, nullptr);
}

const char* EditorParamUnit(int paramIdx) {
  if (IsQParam(paramIdx)) return "Q";
  return ParamSpecAt(paramIdx).unit;
}

void FormatParamValue(int paramIdx, double value, char* text, std::size_t size) {
  if (!text || size == 0) return;
  const char* unit = EditorParamUnit(paramIdx);
  if (Is(unit, "Hz")) {
    if (ShownValue(value, 0) >= 1000.0)
      std::snprintf(text, size, "%.2f kHz", value / 1000.0);
    else if (ShownValue(value, 2) < 10.0)
      std::snprintf(text, size, "%.2f Hz", value);
    else
      std::snprintf(text, size, "%.0f Hz", value);
  } else if (Is(unit, "ms")) {
    std::snprintf(text, size,
                  ShownValue(value, 2) < 1.0    ? "%.2f ms"
                  : ShownValue(value, 1) < 10.0 ? "%.1f ms"
                                                : "%.0f ms",
                  value);
  } else if (Is(unit, "s")) {
    std::snprintf(text, size, "%.2f s", value);
  } else if (Is(unit, "dB/s")) {
    std::snprintf(text, size, "%.2f dB/s", value);
  } else if (Is(unit, "dB") || Is(unit, "dBFS")) {
    std::snprintf(text, size, "%.1f %s", value, unit);
  } else if (Is(unit, "%")) {
    std::snprintf(text, size, "%.0f %%", value);
  } else if (Is(unit, "Q")) {
    std::snprintf(text, size, "%.2f Q", value);
  } else {
    std::snprintf(text, size, IsEnumParam(paramIdx) ? "%.0f" : "%.2f", value);
  }
}

bool ParseParamValue(int paramIdx, const char* text, double& out) {
  if (!text || paramIdx < 0 || paramIdx >= kParamCount) return false;
  char* end = nullptr;
  double value = std::strtod(text, &end);
  if (end == text || !std::isfinite(value)) return false;
  std::string suffix;
  for (const char* p = end; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (!std::isspace(c)) suffix.push_back(static_cast<char>(std::tolower(c)));
  }
  const double factor = SuffixFactor(EditorParamUnit(paramIdx), suffix);
  if (factor == 0.0) return false;
  value *= factor;
  const ParamSpec& spec = ParamSpecAt(paramIdx);
  const float single = static_cast<float>(value);
  if (!std::isfinite(value) || !std::isfinite(single) || single < spec.minValue ||
      single > spec.maxValue)
    return false;
  out = std::clamp(value, static_cast<double>(spec.minValue), static_cast<double>(spec.maxValue));
  return true;
}

} // namespace tarvex
