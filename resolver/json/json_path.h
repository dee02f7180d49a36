#pragma once
// Paths into a JSON tree: "file_list.list[0].fs_id". See json_document.h for the grammar.
#include <cstdint>
#include <string_view>
#include <vector>

namespace json {

class JsonValue;

struct PathSegment {
  bool hasName = false;
  std::u16string_view name;  // a view into the path text
  bool hasIndex = false;
  // The index as read; false when it lies outside the signed 32-bit range.
  bool indexInRange = true;
  int32_t index = 0;
};

// Cuts the path at every point; an empty path has no segments.
std::vector<PathSegment> SplitPath(std::u16string_view path);

// StrToIntW-style: an optional sign, decimal digits up to the first other unit; no digits
// give 0. inRange is false when the digits spell a number outside the signed 32-bit range.
int32_t ReadIndex(std::u16string_view text, bool& inRange);

// Walks the path from start, creating missing members and elements as Null and converting
// values in the way (an Object walked by index becomes an empty Array, any non-Object walked
// by name an empty Object). nullptr once the walk meets none (no start, a negative or
// out-of-range index, memory exhausted).
JsonValue* ResolvePath(JsonValue* start, std::u16string_view path);

// True if every segment exists already; creates and converts nothing. The empty path: false.
bool PathExists(const JsonValue* start, std::u16string_view path);

}  // namespace json
