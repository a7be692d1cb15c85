// Hexadecimal and octal forms ("&H10", "&O17") are not numbers here: every numeric
// text of this program is written by the program itself in decimal, and a text such as
// "&H10" in a hand-edited store reads as 0 rather than as a surprising 16.
#include "app/NumericText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace qm {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the longest decimal number at the start of `text` (sign, digits, point
// `separator`, fraction, exponent), 0 when there is none: the mantissa needs a digit.
size_t ScanNumber(std::string_view text, char separator) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissaDigits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++mantissaDigits;
  if (i < text.size() && text[i] == separator) {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return 0;
  // An exponent counts only when at least one digit follows it: "1e" is 1.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// For an unsigned number out of double's range: whether it is too large rather than too
// small. The decimal place of its first significant digit plus its exponent tells, the
// mantissa's length alone ("1<400 zeros>e-10") or the exponent's alone ("0.<400
// zeros>1e5") does not. A mantissa of only zeros cannot overflow.
bool Overflows(std::string_view number) {
  const size_t e = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, e);
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return false;
  // Places are bounded by the text's length, far from long long's limits.
  long long place = first < point ? static_cast<long long>(point - first) - 1
                                  : -static_cast<long long>(first - point);
  if (e != std::string_view::npos) {
    size_t i = e + 1;
    const bool minus = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    long long exponent = 0;
    constexpr long long kFarOut = 1'000'000'000'000LL;  // beyond any text's length
    for (; i < number.size() && IsDigit(number[i]); ++i)
      exponent = std::min(kFarOut, exponent * 10 + (number[i] - '0'));
    place += minus ? -exponent : exponent;
  }
  return place > 0;
}

// Converts text already known to match ScanNumber in full, independently of the C
// locale. Magnitudes beyond double give +-infinity, below it 0.
double Convert(std::string_view number, char separator) {
  bool negative = false;
  if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
    negative = number[0] == '-';
    number.remove_prefix(1);
  }
  std::string plain(number);
  if (separator != '.') {
    for (char& c : plain) {
      if (c == separator) c = '.';
    }
  }
  double value = 0.0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    value = Overflows(plain) ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<double> WholeNumber(std::string_view text, char separator) {
  text = Trim(text);
  const size_t length = ScanNumber(text, separator);
  if (length == 0 || length != text.size()) return std::nullopt;
  return Convert(text, separator);
}

char localeSeparator = '.';

template <typename Int>
Int RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr auto kMin = static_cast<double>(std::numeric_limits<Int>::min());
  constexpr auto kMax = static_cast<double>(std::numeric_limits<Int>::max());
  const double lower = std::floor(value);
  const double fraction = value - lower;  // exact for every finite double
  double rounded = lower;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) rounded = lower + 1.0;
  if (rounded <= kMin) return std::numeric_limits<Int>::min();
  if (rounded >= kMax) return std::numeric_limits<Int>::max();
  return static_cast<Int>(rounded);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  const size_t length = ScanNumber(text, '.');
  if (length == 0) return 0.0;
  return Convert(text.substr(0, length), '.');
}

void SetLocaleDecimalSeparator(char separator) {
  localeSeparator = separator;
}
char LocaleDecimalSeparator() {
  return localeSeparator;
}

std::optional<double> LocaleNumber(std::string_view text) {
  return WholeNumber(text, localeSeparator);
}

bool IsNumericText(std::string_view text) {
  return WholeNumber(text, '.').has_value();
}

int16_t RoundToInt16(double value) {
  return RoundHalfEven<int16_t>(value);
}
int32_t RoundToInt32(double value) {
  return RoundHalfEven<int32_t>(value);
}

double Floor(double value) {
  return std::floor(value);
}

int32_t TrailingNumber(std::string_view text) {
  text = Trim(text);
  // The longest numeric tail, found from the right in one pass (trying every start
  // from the left costs the square of the length on a long run of digits that ends in
  // something else). A tail is [sign] mantissa [exponent], the mantissa digits with at
  // most one point.
  auto digitsBefore = [&](size_t end) {
    while (end > 0 && IsDigit(text[end - 1])) --end;
    return end;
  };
  // Where the longest mantissa ending at `end` starts, with its sign; npos without one.
  auto mantissaBefore = [&](size_t end) {
    size_t start = digitsBefore(end);
    size_t digits = end - start;
    if (start > 0 && text[start - 1] == '.') {
      const size_t whole = digitsBefore(start - 1);
      digits += start - 1 - whole;
      start = whole;
    }
    if (digits == 0) return std::string_view::npos;
    if (start > 0 && (text[start - 1] == '+' || text[start - 1] == '-')) --start;
    return start;
  };
  size_t start = std::string_view::npos;
  const size_t exponentDigits = digitsBefore(text.size());
  if (exponentDigits < text.size()) {
    size_t marker = exponentDigits;
    if (marker > 0 && (text[marker - 1] == '+' || text[marker - 1] == '-')) --marker;
    if (marker > 0 && (text[marker - 1] == 'e' || text[marker - 1] == 'E'))
      start = mantissaBefore(marker - 1);
  }
  if (start == std::string_view::npos) start = mantissaBefore(text.size());
  if (start == std::string_view::npos) return 0;
  const std::optional<double> number = WholeNumber(text.substr(start), '.');
  return number ? RoundToInt32(*number) : 0;
}

}  // namespace qm
