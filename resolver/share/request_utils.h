#pragma once
// Value makers and text searches with which the share client builds its requests and reads
// the service's pages, the way the service's own web page computes them in the browser.
//
// Texts are CP936 bytes; searches are exact (case matters) and try matches only at character
// starts, so the second byte of a two-byte character never starts a match.
#include <cstdint>
#include <string>
#include <string_view>

namespace share {

// True when part occurs in text.
bool Contains(std::string_view text, std::string_view part);

// The text after the last occurrence of marker; empty when marker does not occur.
std::string TextAfterLast(std::string_view text, std::string_view marker);

// The text between the first begin and the next end after it; empty when either is missing.
std::string TextBetween(std::string_view text, std::string_view begin, std::string_view end);

// count random decimal digits; count 0 means 19, a negative count gives "". The generator is
// re-seeded from the tick count at each call, plus a counter so that two calls in one
// millisecond differ.
std::string RandomDigits(int32_t count);

// Current time as milliseconds since 1970-01-01 00:00 UTC in decimal (13 digits for present
// dates), whatever the computer's time zone.
std::string Timestamp13();

// The service's log id: Base64 of Timestamp13() + "." + RandomDigits(19). It may hold "+",
// "/" and "=", and the service takes it into query strings unencoded.
std::string MakeLogId();

// Percent form of the UTF-8 bytes of a CP936 text: A-Z, a-z, 0-9 copied, a space as "+",
// every other byte as "%" and two upper-case hex digits ("-", "_", ".", "~", "*" included).
// A character code page 936 cannot decode reaches the service as U+FFFD (%EF%BF%BD).
std::string UrlEncodeUtf8(std::string_view text);

}  // namespace share
