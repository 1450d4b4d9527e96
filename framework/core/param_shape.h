#pragma once

#include "framework/core/param.h"

#include <memory>

namespace plugkit {

// Maps a parameter's plain values to and from the normalised range 0..1.
class IParam::Shape {
public:
  virtual ~Shape() = default;
  virtual std::unique_ptr<Shape> Clone() const = 0;
  // Takes what the shape needs from the parameter's range.
  virtual void Init(const IParam& param);
  virtual int GetDisplayKind() const = 0;
  virtual double NormalizedToValue(double normalized, const IParam& param) const = 0;
  virtual double ValueToNormalized(double value, const IParam& param) const = 0;
};

class IParam::ShapeLinear : public IParam::Shape {
public:
  std::unique_ptr<Shape> Clone() const override;
  int GetDisplayKind() const override { return 0; }
  double NormalizedToValue(double normalized, const IParam& param) const override;
  double ValueToNormalized(double value, const IParam& param) const override;
};

// Exponential mapping for ranges such as frequencies. A range starting at 0
// or below is mapped as if it started at 1e-8.
class IParam::ShapeExp : public IParam::Shape {
public:
  std::unique_ptr<Shape> Clone() const override;
  void Init(const IParam& param) override;
  int GetDisplayKind() const override { return 1; }
  double NormalizedToValue(double normalized, const IParam& param) const override;
  double ValueToNormalized(double value, const IParam& param) const override;

private:
  double mul_ = 1.0;
  double add_ = 0.0;
};

} // namespace plugkit
