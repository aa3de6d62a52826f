#include "niceticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The smallest of 1, 2, 5 times a power of ten that is at least `raw`.
double NiceStep(double raw) {
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= raw * (1 - 1e-12)) return factor * power;
  }
  return 10 * power;
}

std::pair<double, double> WidenedRange(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high)) return {0.0, 1.0};
  if (low > high) std::swap(low, high);
  if (low == high) {
    const double pad = low == 0 ? 1.0 : std::abs(low) * 0.1;
    return {low - pad, high + pad};
  }
  return {low, high};
}

std::string TrimZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string Printf(const char* format, int precision, double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, format, precision, value);
  return buffer;
}

}  // namespace

NiceTicks ChooseNiceTicks(double low, double high, double pixels, double minSpacing) {
  auto [lo, hi] = WidenedRange(low, high);
  const double room = std::isfinite(pixels) && pixels > 0 ? pixels : 0;
  const int wanted =
      std::clamp(static_cast<int>(room / std::max(minSpacing, 1.0)), 1, kMaxTickCount - 1);
  // Divided before subtracting so that ranges near the largest double do not overflow.
  double step = NiceStep(hi / wanted - lo / wanted);
  NiceTicks ticks;
  for (int tries = 0;; ++tries) {
    // A range too narrow for doubles (denormal values) has no usable step: use 0 to 1.
    if (!(step > 0) || !std::isfinite(step) || tries == 64) return ChooseNiceTicks(0, 1, 0, 1);
    ticks.min = std::floor(lo / step) * step;
    ticks.max = std::ceil(hi / step) * step;
    const double count = std::round(ticks.max / step - ticks.min / step);
    if (count < kMaxTickCount) break;
    step = NiceStep(step * 1.5);  // rounding outward added ticks: take the next nice step
  }
  if (!std::isfinite(ticks.min) || !std::isfinite(ticks.max)) return ChooseNiceTicks(0, 1, 0, 1);
  ticks.step = step;
  const int count = static_cast<int>(std::round(ticks.max / step - ticks.min / step));
  for (int i = 0; i <= count; ++i) {
    // Halved and doubled (exact in binary) so that ranges near the largest double stay finite.
    double value = i == count ? ticks.max : 2 * (ticks.min / 2 + i * (step / 2));
    if (std::abs(value) < step * 1e-6) value = 0;
    ticks.values.push_back(value);
  }
  return ticks;
}

std::string FormatTick(double value, double step) {
  if (value == 0) return "0";
  const double magnitude = std::max(std::abs(value), std::abs(step));
  if (magnitude >= 1e15 || std::abs(step) < 1e-6) return TrimZeros(Printf("%.*g", 6, value));
  const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 15);
  return Printf("%.*f", decimals, value);
}

std::string FormatValue(double value) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "INF" : "-INF");
  if (value == 0) return "0";
  const double magnitude = std::abs(value);
  if (magnitude >= 1e15 || magnitude < 1e-6) {
    std::string text = Printf("%.*e", 11, value);
    const auto e = text.find('e');
    return TrimZeros(text.substr(0, e)) + text.substr(e);
  }
  const int integerDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
  const int decimals = std::clamp(12 - integerDigits, 0, 17);
  const std::string text = TrimZeros(Printf("%.*f", decimals, value));
  return text == "-0" ? "0" : text;
}
