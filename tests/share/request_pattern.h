#pragma once
// Request URLs and bodies compared byte for byte, with the values that change from run to run
// checked by their form: <T13> a 13-digit millisecond stamp, <D16> 16 random digits, <LOGID>
// the Base64 of a stamp, "." and 19 digits. A placeholder's value runs up to the pattern's next
// literal byte.
#include <string>

namespace share::testing {

// Empty when actual has the form of pattern, else what differs.
std::string PatternMismatch(const std::string& actual, const std::string& pattern);

// The bytes of a Base64 text ("" when it holds a character outside the alphabet).
std::string Base64Decode(const std::string& in);

}  // namespace share::testing
