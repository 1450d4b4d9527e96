#include "framework/core/param_shape.h"

#include <cmath>

namespace plugkit {

void IParam::Shape::Init(const IParam&) {}

std::unique_ptr<IParam::Shape> IParam::ShapeLinear::Clone() const {
  return std::make_unique<ShapeLinear>(*this);
}

double IParam::ShapeLinear::NormalizedToValue(double normalized, const IParam& param) const {
  return param.Min() + (param.Max() - param.Min()) * normalized;
}

double IParam::ShapeLinear::ValueToNormalized(double value, const IParam& param) const {
  return (value - param.Min()) / (param.Max() - param.Min());
}

std::unique_ptr<IParam::Shape> IParam::ShapeExp::Clone() const {
  return std::make_unique<ShapeExp>(*this);
}

void IParam::ShapeExp::Init(const IParam& param) {
  const double m0 = param.Min() > 0.0 ? param.Min() : 1e-8;
  add_ = std::log(m0);
  mul_ = std::log(param.Max() / m0);
}

double IParam::ShapeExp::NormalizedToValue(double normalized, const IParam&) const {
  return std::exp(normalized * mul_ + add_);
}

double IParam::ShapeExp::ValueToNormalized(double value, const IParam&) const {
  return (std::log(value) - add_) / mul_;
}

} // namespace plugkit
