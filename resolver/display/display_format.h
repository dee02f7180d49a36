#pragma once
// Display formats of the file list: sizes with a unit of powers of 1024, and the service's
// time stamps as local date and time texts. Results are CP936 text (ASCII in practice).
#include <cstdint>
#include <string>
#include <string_view>

namespace display {

// 0 -> "0 B", 1536 -> "1.5 KB", 1048577 -> "1 MB", 3 TiB -> "3072 GB": the value rounded to two
// decimals (halves away from zero), written with "%.13g", a blank, then B, KB, MB or GB.
std::string FormatSize(int64_t size);

// The service's server_mtime in decimal. Ten characters: Unix seconds shown as the UTC+8 wall
// clock ("2017-9-07 15:00:00"), with a 12-hour locale's hour 01-12 and no AM/PM marker. Stamps
// past 2038 are read as 64-bit numbers and shown with their true date (not wrapped to 1901).
// Any other length goes through the script engine's Date, which takes the value as
// milliseconds, and comes out as "2017-9-7 15:00:00" in the computer's zone.
// "" when a conversion fails. Windows only (the date functions and COM).
std::string FormatTime(std::string_view seconds);

// --- pieces of FormatTime that need no Windows, exposed for tests ---

// The script engine's date text "Thu Sep 7 15:00:00 UTC+0800 2017" as "2017-9-7 15:00:00":
// year-month-day time, with the month abbreviation replaced by its number (another word stays).
// Fewer than six blank-separated parts give "".
std::string AssembleScriptDate(std::string_view dateText);

// Leading decimal digits (after an optional sign) of a ten-character stamp; other text gives 0.
int64_t ParseStampSeconds(std::string_view seconds);

// Days since 1899-12-30 (an OLE automation date) of the UTC+8 wall clock of Unix seconds.
double UnixSecondsToUtc8VariantTime(int64_t seconds);

}  // namespace display
