// The numeric-text rules shared by every part of the program. Settings are kept as
// texts and each user converts them where it uses them, by one of two rules:
//  - LeadingNumber: a decimal number read from the start of the text (leading blanks
//    skipped, reading stops at the first character that cannot continue a number,
//    0 when there is no number at all);
//  - LocaleNumber: the whole text must be a number in the user's locale (blanks
//    around it allowed); anything else is "not a number" (std::nullopt) so callers
//    can choose their own sound reaction.
// Converting to an integer rounds to the nearest integer, halves to even.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

double LeadingNumber(std::string_view text);

// The decimal separator LocaleNumber accepts besides nothing else; hosts set it once
// from the user's locale at start-up ('.' until then).
void SetLocaleDecimalSeparator(char separator);
char LocaleDecimalSeparator();
std::optional<double> LocaleNumber(std::string_view text);

// True when, apart from blanks around it, the text is a number in ordinary decimal
// notation: optional sign, digits, optional point and fraction, optional exponent.
bool IsNumericText(std::string_view text);

// Round half to even. Values beyond the target's range saturate at its limits (the
// original run-time raised an overflow there; no caller can reach it through the UI).
int16_t RoundToInt16(double value);
int32_t RoundToInt32(double value);

// Rounds towards minus infinity.
double Floor(double value);

// The number that ends the text: the longest numeric tail of the trimmed text,
// rounded half to even; 0 when no tail is numeric (also for the empty text).
int32_t TrailingNumber(std::string_view text);

}  // namespace qm
