#pragma once
// Where "now" comes from. The program uses the system clock; tests and the
// command line put a fixed clock in its place.
namespace rg_com_ptl_xyh {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local time with milliseconds, as a day count (see DateTime.h).
  virtual double Now() const = 0;
  // The zone's standard bias in minutes: UTC = local time + bias.
  virtual int BiasMinutes() const = 0;

  static const Clock& System();
};

class FixedClock final : public Clock {
 public:
  explicit FixedClock(double now, int biasMinutes = -480) : now_(now), bias_(biasMinutes) {}
  double Now() const override { return now_; }
  int BiasMinutes() const override { return bias_; }
  void Set(double now) { now_ = now; }

 private:
  double now_;
  int bias_;
};

}  // namespace rg_com_ptl_xyh
