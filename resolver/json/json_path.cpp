#include "resolver/json/json_path.h"

#include "resolver/json/json_value.h"

namespace json {
namespace {

PathSegment ReadSegment(std::u16string_view text) {
  PathSegment s;
  const size_t open = text.find(u'[');
  s.hasName = open != 0;
  s.name = text.substr(0, open);
  if (open == std::u16string_view::npos) return s;
  s.hasIndex = true;
  // Closing brackets before the first opening one belong to the name.
  const size_t close = text.find(u']', open);
  const std::u16string_view head = text.substr(0, close);
  const size_t lastOpen = head.rfind(u'[');
  s.index = ReadIndex(head.substr(lastOpen + 1), s.indexInRange);
  return s;
}

}  // namespace

int32_t ReadIndex(std::u16string_view text, bool& inRange) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int64_t value = 0;
  inRange = true;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > int64_t(INT32_MAX) + 1) {
      inRange = false;
      value = int64_t(INT32_MAX) + 1;
    }
  }
  if (negative) value = -value;
  if (value > INT32_MAX) inRange = false;
  return inRange ? int32_t(value) : 0;
}

std::vector<PathSegment> SplitPath(std::u16string_view path) {
  std::vector<PathSegment> segments;
  if (path.empty()) return segments;
  size_t start = 0;
  while (true) {
    const size_t point = path.find(u'.', start);
    segments.push_back(ReadSegment(path.substr(start, point - start)));
    if (point == std::u16string_view::npos) break;
    start = point + 1;
  }
  return segments;
}

JsonValue* ResolvePath(JsonValue* start, std::u16string_view path) {
  JsonValue* v = start;
  for (const PathSegment& s : SplitPath(path)) {
    if (!v) return nullptr;
    if (s.hasName) v = JsonValue::TakeMember(v, s.name);
    if (v && s.hasIndex) v = s.indexInRange ? JsonValue::TakeElement(v, s.index) : nullptr;
  }
  return v;
}

bool PathExists(const JsonValue* start, std::u16string_view path) {
  const std::vector<PathSegment> segments = SplitPath(path);
  if (segments.empty() || !start) return false;
  const JsonValue* v = start;
  for (const PathSegment& s : segments) {
    if (s.hasName) {
      v = v->FindMember(s.name);
      if (!v) return false;
    }
    if (s.hasIndex) {
      const ValueList* list = v->List();
      if (!s.indexInRange || !list || s.index < 0 || s.index >= list->Count()) return false;
      v = list->At(s.index);
    }
  }
  return true;
}

}  // namespace json
