#include "framework/core/param.h"

#include "framework/core/fixed_text.h"
#include "framework/core/param_shape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace plugkit {

IParam::IParam() : shape_(std::make_unique<ShapeLinear>()) {}

IParam::~IParam() = default;

void IParam::ConfigureDouble(const char* name, double defaultValue, double min, double max,
                             double step, const char* label, int flags, const char* group,
                             const Shape& shape, int unit, DisplayFunc displayFunc) {
  if (type_ == ParamType::None) type_ = ParamType::Double;
  CopyFixedText(name_, name);
  CopyFixedText(label_, label);
  CopyFixedText(group_, group);
  min_ = min;
  max_ = std::max(max, min + step);
  step_ = step;
  default_ = defaultValue;
  unit_ = unit;
  flags_ = flags;
  displayFunc_ = std::move(displayFunc);
  value_.exchange(ConstrainValue(defaultValue));

  int precision = 0;
  for (double s = step; precision <= 5 && std::floor(s) != s; s *= 10.0) ++precision;
  displayPrecision_ = precision;

  shape_ = shape.Clone();
  shape_->Init(*this);
}

void IParam::ConfigureInt(const char* name, int defaultValue, int min, int max, const char* label,
                          int flags, const char* group) {
  if (type_ == ParamType::None) type_ = ParamType::Int;
  ConfigureDouble(name, defaultValue, min, max, 1.0, label, flags | kFlagStepped, group,
                  ShapeLinear(), kDefaultUnit);
}

double IParam::ConstrainValue(double value) const {
  if (std::isnan(value)) value = std::isnan(default_) ? min_ : default_;
  if ((flags_ & kFlagStepped) && step_ > 0.0) value = std::round(value / step_) * step_;
  return std::min(max_, std::max(min_, value));
}

double IParam::NormalizeValue(double plain) const {
  const double normalized = shape_->ValueToNormalized(ConstrainValue(plain), *this);
  // An empty range or an exponential range the logarithm cannot map gives
  // NaN or an infinity here; the host and the editor still need 0..1.
  if (!(normalized > 0.0)) return 0.0;
  return std::min(normalized, 1.0);
}

void IParam::SetNormalized(double normalized) {
  value_.exchange(ConstrainValue(shape_->NormalizedToValue(normalized, *this)));
}

void IParam::Set(double plain) { value_.exchange(ConstrainValue(plain)); }

double IParam::DefaultValue(bool normalized) const {
  return normalized ? NormalizeValue(default_) : default_;
}

const DisplayTextEntry* IParam::DisplayTexts() const {
  return reinterpret_cast<const DisplayTextEntry*>(displayTexts_.Data());
}

int IParam::DisplayTextCount() const {
  return displayTexts_.Size() / static_cast<int>(sizeof(DisplayTextEntry));
}

void IParam::AddDisplayText(double value, const char* text) {
  const int count = DisplayTextCount();
  const int wanted = (count + 1) * static_cast<int>(sizeof(DisplayTextEntry));
  displayTexts_.Resize(wanted, false);
  if (displayTexts_.Size() != wanted) return;
  DisplayTextEntry entry{value, {}};
  CopyFixedText(entry.text, text);
  std::memcpy(displayTexts_.Data() + count * static_cast<int>(sizeof(DisplayTextEntry)), &entry,
              sizeof(entry));
}

const char* IParam::DisplayTextFor(double value) const {
  const DisplayTextEntry* entries = DisplayTexts();
  for (int i = 0, n = DisplayTextCount(); i < n; ++i) {
    if (entries[i].value == value) return entries[i].text;
  }
  return "";
}

void IParam::FormatDisplay(double value, bool normalized, StringBuffer& out,
                           bool useDisplayText) const {
  if (normalized) value = ConstrainValue(shape_->NormalizedToValue(value, *this));
  if (displayFunc_) {
    displayFunc_(value, out);
    return;
  }
  if (useDisplayText) {
    const DisplayTextEntry* entries = DisplayTexts();
    for (int i = 0, n = DisplayTextCount(); i < n; ++i) {
      if (entries[i].value != value) continue;
      if (entries[i].text[0]) {
        out.Set(entries[i].text, kMaxTextLength);
        return;
      }
      break;
    }
  }
  double v = (flags_ & kFlagNegateDisplay) ? -value : value;
  if (v == 0.0) v = 0.0;
  if (displayPrecision_ == 0) {
    // Printed with "%.0f" rather than through an int so that no value can
    // overflow the conversion; halves round away from zero.
    double rounded = std::round(v);
    if (rounded == 0.0) rounded = 0.0;
    out.SetFormatted(kMaxTextLength, "%.0f", rounded);
  } else if ((flags_ & kFlagSignDisplay) && v != 0.0) {
    out.SetFormatted(kMaxTextLength, "%+.*f", displayPrecision_, v);
  } else {
    out.SetFormatted(kMaxTextLength, "%.*f", displayPrecision_, v);
  }
}

const char* IParam::GetDisplayLabel() const {
  // Truncated as a double: converting an arbitrary double to int is undefined
  // outside the int range.
  const double truncated = std::trunc(Value());
  const DisplayTextEntry* entries = DisplayTexts();
  for (int i = 0, n = DisplayTextCount(); i < n; ++i) {
    if (entries[i].value != truncated) continue;
    if (entries[i].text[0]) return "";
    break;
  }
  return label_;
}

double IParam::ValueFromText(const char* text) const {
  if (!text) text = "";
  const DisplayTextEntry* entries = DisplayTexts();
  for (int i = 0, n = DisplayTextCount(); i < n; ++i) {
    if (std::strcmp(entries[i].text, text) == 0) return entries[i].value;
  }
  if (type_ == ParamType::Bool || type_ == ParamType::Enum) return 0.0;
  double value = std::atof(text);
  if (flags_ & kFlagNegateDisplay) value = -value;
  return ConstrainValue(value);
}

} // namespace plugkit
