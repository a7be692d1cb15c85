#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "app/NumericText.h"

namespace qm {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartAndStopsAtTheFirstForeignCharacter) {
  EXPECT_DOUBLE_EQ(LeadingNumber("12.5abc"), 12.5);
  EXPECT_DOUBLE_EQ(LeadingNumber(" -3"), -3.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("\t 8x"), 8.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("+7"), 7.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("5."), 5.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(LeadingNumber("1,5"), 1.0);  // the comma is never a decimal point here
  EXPECT_DOUBLE_EQ(LeadingNumber("30 seconds"), 30.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("1 2"), 1.0);  // only leading blanks are skipped
}

TEST(LeadingNumber, ReadsAnExponentOnlyWhenDigitsFollowIt) {
  EXPECT_DOUBLE_EQ(LeadingNumber("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("2E-2"), 0.02);
  EXPECT_DOUBLE_EQ(LeadingNumber("1.5e+2x"), 150.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("1e"), 1.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("1e+"), 1.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("4ex"), 4.0);
}

// "&H10": there are no hexadecimal forms.
TEST(LeadingNumber, GivesZeroWhenTheTextDoesNotStartWithANumber) {
  for (const char* text : {"", "   ", "abc", "-", "--1", ".", "x12", "&H10"}) {
    EXPECT_EQ(LeadingNumber(text), 0.0) << '"' << text << '"';
  }
}

TEST(LeadingNumber, NumbersBeyondDoubleGiveInfinityOrZero) {
  EXPECT_EQ(LeadingNumber("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("-1e400"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("1e-400"), 0.0);
  // The size is the first digit's place plus the exponent, not either alone:
  // 0.(400 zeros)1 x 10^5 is about 1e-396, 1(400 zeros) x 10^-10 about 1e390.
  const std::string zeros(400, '0');
  EXPECT_EQ(LeadingNumber("0." + zeros + "1e5"), 0.0);
  EXPECT_EQ(LeadingNumber("-0." + zeros + "1e5"), 0.0);
  EXPECT_EQ(LeadingNumber("1" + zeros + "e-10"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("-1" + zeros + "e-10"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("1" + zeros), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("0." + zeros + "1"), 0.0);
  EXPECT_EQ(LeadingNumber("1e99999999999999999999999"), std::numeric_limits<double>::infinity());
  // 2^63: an exponent one past what a 64-bit integer holds is as huge as any other.
  EXPECT_EQ(LeadingNumber("1e9223372036854775808"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("0." + zeros + "e99999"), 0.0);  // zero whatever its exponent
}

TEST(LocaleNumber, TakesTheWholeTextWithTheLocaleSeparator) {
  SetLocaleDecimalSeparator(',');
  EXPECT_EQ(LocaleDecimalSeparator(), ',');
  EXPECT_EQ(LocaleNumber("1,5"), 1.5);
  EXPECT_EQ(LocaleNumber(" -3,25e1 "), -32.5);
  EXPECT_EQ(LocaleNumber("1.5"), std::nullopt);
  SetLocaleDecimalSeparator('.');
  EXPECT_EQ(LocaleNumber("1.5"), 1.5);
  EXPECT_EQ(LocaleNumber("  42\t"), 42.0);
  EXPECT_EQ(LocaleNumber("1,5"), std::nullopt);
}

TEST(LocaleNumber, AnythingButANumberIsNotANumber) {
  for (const char* text : {"", " ", "2x", "x2", "1 2", "1e", "-", ".", "&H10", "inf", "nan"}) {
    EXPECT_EQ(LocaleNumber(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(IsNumericText, AcceptsOrdinaryDecimalNotationWithBlanksAround) {
  for (const char* text : {"12", " -1.5e3 ", "+.5"}) EXPECT_TRUE(IsNumericText(text)) << text;
  for (const char* text : {"", "1e", ".", "1 2", "12a"}) EXPECT_FALSE(IsNumericText(text)) << text;
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, int32_t> halves[] = {{12.5, 12}, {13.5, 14}, {-2.5, -2}, {-3.5, -4},
                                               {0.5, 0},   {-0.5, 0},  {1.5, 2}};
  for (const auto& [x, rounded] : halves) EXPECT_EQ(RoundToInt32(x), rounded) << x;
  EXPECT_EQ(RoundToInt16(2.5), 2);
  EXPECT_EQ(RoundToInt16(3.5), 4);
}

TEST(Rounding, NonHalvesGoToTheNearestInteger) {
  const std::pair<double, int32_t> cases[] = {
      {2.4999, 2}, {2.5000001, 3}, {-7.2, -7}, {-7.8, -8}, {100.0, 100}};
  for (const auto& [x, rounded] : cases) EXPECT_EQ(RoundToInt32(x), rounded) << x;
}

TEST(Rounding, SaturatesAtTheLimitsOfTheTarget) {
  EXPECT_EQ(RoundToInt32(1e10), INT32_MAX);
  EXPECT_EQ(RoundToInt32(-1e10), INT32_MIN);
  EXPECT_EQ(RoundToInt32(2147483647.4), INT32_MAX);
  EXPECT_EQ(RoundToInt32(-2147483648.0), INT32_MIN);
  EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(RoundToInt32(std::nan("")), 0);
  EXPECT_EQ(RoundToInt16(32767.4), 32767);
  EXPECT_EQ(RoundToInt16(40000.0), 32767);
  EXPECT_EQ(RoundToInt16(-40000.0), -32768);
  EXPECT_EQ(RoundToInt16(-32768.4), -32768);
  // Values inside the range that round to one step beyond it saturate too.
  EXPECT_EQ(RoundToInt16(32767.5), 32767);
  EXPECT_EQ(RoundToInt16(-32768.6), -32768);
  EXPECT_EQ(RoundToInt32(2147483647.5), INT32_MAX);
  EXPECT_EQ(RoundToInt32(-2147483648.6), INT32_MIN);
}

TEST(Floor, RoundsTowardsMinusInfinity) {
  EXPECT_EQ(Floor(2.7), 2.0);
  EXPECT_EQ(Floor(-2.5), -3.0);
  EXPECT_EQ(Floor(-3.0), -3.0);
}

TEST(TrailingNumber, TakesTheNumberThatEndsTheText) {
  EXPECT_EQ(TrailingNumber("/p 1234"), 1234);
  EXPECT_EQ(TrailingNumber("/p:1234"), 1234);
  EXPECT_EQ(TrailingNumber("/P 1234  "), 1234);
  EXPECT_EQ(TrailingNumber("1234"), 1234);
  EXPECT_EQ(TrailingNumber("x-5"), -5);
  EXPECT_EQ(TrailingNumber("/p 12.5"), 12);
  EXPECT_EQ(TrailingNumber("/p 13.5"), 14);
  EXPECT_EQ(TrailingNumber("/a 2e3"), 2000);
  // The longest tail that is a number in full.
  EXPECT_EQ(TrailingNumber("1.2.7"), 3);  // 2.7
  EXPECT_EQ(TrailingNumber("1.2.5"), 2);  // 2.5, half to even
  EXPECT_EQ(TrailingNumber("x5."), 5);    // a point may end the mantissa
  EXPECT_EQ(TrailingNumber("ab1.e1"), 10);
  EXPECT_EQ(TrailingNumber("x.5e+1"), 5);
  EXPECT_EQ(TrailingNumber("e5"), 5);  // no mantissa before the exponent
  EXPECT_EQ(TrailingNumber("2e3e4"), 30000);
  EXPECT_EQ(TrailingNumber("+-7"), -7);
  EXPECT_EQ(TrailingNumber("/p " + std::string(100000, '0') + "42"), 42);
}

TEST(TrailingNumber, GivesZeroWithoutANumericTail) {
  for (const char* text : {"", "abc", "/p", "12ab", "   ", "1e+", "x.", "5-"}) {
    EXPECT_EQ(TrailingNumber(text), 0) << '"' << text << '"';
  }
  EXPECT_EQ(TrailingNumber(std::string(100000, '1') + "x"), 0);
}

}  // namespace
}  // namespace qm
