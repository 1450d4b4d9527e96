#include "framework/vst3/plugin_vst3_parameter.h"

#include "framework/core/param_shape.h"
#include "framework/core/string_buffer.h"
#include "framework/vst3/utf16_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kTextBytes = 512;

// A whole text that strtod reads as a finite number, blanks around it
// allowed. Rejects "nan" and "inf", which strtod would accept.
bool IsFiniteNumber(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  if (!*text) return false;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || !std::isfinite(value)) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  return *end == 0;
}

// ValueFromText looks display texts up first; a text is one of them when
// the value it gives shows as that very text.
bool IsDisplayText(const IParam& param, const char* text) {
  if (param.DisplayTextCount() == 0 || !*text) return false;
  return std::strcmp(param.DisplayTextFor(param.ValueFromText(text)), text) == 0;
}

} // namespace

IPluginVST3Parameter::IPluginVST3Parameter(const IParam& param, ParamID id, UnitID unitId)
    : param_(param) {
  info.id = id;
  Utf8ToUtf16(param.Name(), info.title, 128);
  info.shortTitle[0] = 0;
  Utf8ToUtf16(param.GetDisplayLabel(), info.units, 128);
  info.stepCount =
      param.Type() == ParamType::Double ? 0 : static_cast<int32>(param.Max() - param.Min());
  info.defaultNormalizedValue = param.DefaultValue(true);
  info.unitId = unitId;
  info.flags = (param.Flags() & kFlagCannotAutomate) ? 0 : ParameterInfo::kCanAutomate;
  if (param.Type() == ParamType::Enum) info.flags |= ParameterInfo::kIsList;
  valueNormalized = info.defaultNormalizedValue;
  precision = param.DisplayPrecision();
}

void IPluginVST3Parameter::toString(ParamValue normalized, String128 string) const {
  StringBuffer text;
  param_.FormatDisplay(normalized, true, text, true);
  Utf8ToUtf16(text.Get(), string, 128);
}

bool IPluginVST3Parameter::fromString(const TChar* string, ParamValue& normalized) const {
  char text[kTextBytes];
  Utf16ToUtf8(string, 128, text, kTextBytes);
  if (!IsDisplayText(param_, text) && !IsFiniteNumber(text)) return false;
  normalized = param_.NormalizeValue(param_.ValueFromText(text));
  return true;
}

ParamValue IPluginVST3Parameter::toPlain(ParamValue normalized) const {
  return param_.ConstrainValue(param_.GetShape().NormalizedToValue(normalized, param_));
}

ParamValue IPluginVST3Parameter::toNormalized(ParamValue plainValue) const {
  return param_.NormalizeValue(plainValue);
}

IPluginVST3BypassParameter::IPluginVST3BypassParameter()
    : StringListParameter(
          STR16("Bypass"), kBypassParamId, nullptr,
          ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, 0) {
  appendString(STR16("off"));
  appendString(STR16("on"));
}

} // namespace plugkit
