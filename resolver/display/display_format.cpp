#include "resolver/display/display_format.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace display {
namespace {

constexpr double kTolerance = 1e-7;

// Rounds to two decimals, halves away from zero; the tolerance keeps 1.005 (stored as
// 1.00499999...) from rounding down.
double RoundTwoDecimals(double x) {
  double scaled = std::fabs(x) * 100.0;
  double rounded = std::floor(scaled + 0.5 + kTolerance) / 100.0;
  return x < 0 ? -rounded : rounded;
}

bool Below(double x, double limit) { return x < limit - kTolerance; }

std::vector<std::string_view> SplitAtBlanks(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) parts.push_back(text.substr(start, i - start));
  }
  return parts;
}

}  // namespace

std::string FormatSize(int64_t size) {
  double x = static_cast<double>(size);
  const char* unit = "B";
  if (Below(x, 1024.0)) {
  } else if (Below(x, 1048576.0)) {
    x /= 1024.0;
    unit = "KB";
  } else if (Below(x, 1073741824.0)) {
    x /= 1048576.0;
    unit = "MB";
  } else {
    x /= 1073741824.0;
    unit = "GB";
  }
  char number[64];
  std::snprintf(number, sizeof number, "%.13g", RoundTwoDecimals(x));
  return std::string(number) + " " + unit;
}

std::string AssembleScriptDate(std::string_view dateText) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::vector<std::string_view> parts = SplitAtBlanks(dateText);
  if (parts.size() < 6) return {};
  std::string month(parts[1]);
  for (int m = 0; m < 12; ++m) {
    if (parts[1] == kMonths[m]) month = std::to_string(m + 1);
  }
  std::string out(parts[5]);
  out += "-" + month + "-" + std::string(parts[2]) + " " + std::string(parts[3]);
  return out;
}

int64_t ParseStampSeconds(std::string_view seconds) {
  size_t i = 0;
  bool negative = false;
  if (i < seconds.size() && (seconds[i] == '-' || seconds[i] == '+')) negative = seconds[i++] == '-';
  int64_t value = 0;
  for (; i < seconds.size() && seconds[i] >= '0' && seconds[i] <= '9'; ++i) {
    value = value * 10 + (seconds[i] - '0');  // at most ten characters: no overflow
  }
  return negative ? -value : value;
}

double UnixSecondsToUtc8VariantTime(int64_t seconds) {
  constexpr double kUnixEpochAsVariantTime = 25569.0;  // 1970-01-01 00:00
  constexpr int64_t kUtc8 = 8 * 3600;
  return kUnixEpochAsVariantTime + static_cast<double>(seconds + kUtc8) / 86400.0;
}

}  // namespace display
