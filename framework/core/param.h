#pragma once

#include "framework/core/heap_buffer.h"
#include "framework/core/string_buffer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace plugkit {

enum class ParamType : int32_t { None = 0, Bool = 1, Int = 2, Enum = 3, Double = 4 };

enum ParamFlags : int32_t {
  kFlagCannotAutomate = 1,
  // Values snap to multiples of the step.
  kFlagStepped = 2,
  // Display and text entry show the negated value.
  kFlagNegateDisplay = 4,
  kFlagSignDisplay = 8,
};

struct DisplayTextEntry {
  double value;
  char text[32];
};

// One parameter of the plug-in. The value is a plain (not normalised) number
// and the only field written after configuration: the user-interface thread
// and the host write it while the audio thread reads it, each access being a
// single 64-bit atomic operation.
class IParam {
public:
  class Shape;
  class ShapeLinear;
  class ShapeExp;

  using DisplayFunc = std::function<void(double value, StringBuffer& out)>;

  static constexpr int kDefaultUnit = 21;
  // Names, labels, groups, display texts and formatted values hold at most
  // this many bytes; longer texts are cut.
  static constexpr int kMaxTextLength = 31;

  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  void ConfigureDouble(const char* name, double defaultValue, double min, double max, double step,
                       const char* label, int flags, const char* group, const Shape& shape,
                       int unit = kDefaultUnit, DisplayFunc displayFunc = {});
  void ConfigureInt(const char* name, int defaultValue, int min, int max, const char* label = "",
                    int flags = 0, const char* group = "");

  // Snaps a stepped value, then clamps it to the range. A NaN, which no
  // parameter can hold, becomes the default.
  double ConstrainValue(double value) const;
  // Always within 0..1, even for ranges the shape cannot map.
  double NormalizeValue(double plain) const;
  void SetNormalized(double normalized);
  // Stores the constrained plain value.
  void Set(double plain);
  double Value() const { return value_.load(); }
  double DefaultValue(bool normalized) const;

  const char* Name() const { return name_; }
  const char* GroupName() const { return group_; }
  ParamType Type() const { return type_; }
  int Unit() const { return unit_; }
  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  int Flags() const { return flags_; }
  int DisplayPrecision() const { return displayPrecision_; }
  const Shape& GetShape() const { return *shape_; }

  void FormatDisplay(double value, bool normalized, StringBuffer& out, bool useDisplayText) const;
  void AddDisplayText(double value, const char* text);
  // The empty text when no entry has exactly this value.
  const char* DisplayTextFor(double value) const;
  int DisplayTextCount() const;
  const char* GetDisplayLabel() const;
  double ValueFromText(const char* text) const;

private:
  const DisplayTextEntry* DisplayTexts() const;

  ParamType type_ = ParamType::None;
  int32_t unit_ = kDefaultUnit;
  std::atomic<double> value_{0.0};
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double default_ = 0.0;
  int32_t displayPrecision_ = 0;
  int32_t flags_ = 0;
  char name_[kMaxTextLength + 1] = {};
  char label_[kMaxTextLength + 1] = {};
  char group_[kMaxTextLength + 1] = {};
  std::unique_ptr<Shape> shape_;
  DisplayFunc displayFunc_;
  HeapBuffer displayTexts_{4096};
};

static_assert(std::atomic<double>::is_always_lock_free,
              "parameter values are read on the audio thread and must never take a lock");

} // namespace plugkit
