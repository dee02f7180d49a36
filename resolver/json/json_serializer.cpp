#include "resolver/json/json_serializer.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "base/codepage.h"
#include "resolver/json/json_value.h"
#include "resolver/json/value_list.h"

namespace json {

TextBuilder::TextBuilder(JsonHeap* heap) : heap_(heap ? heap : ProcessHeap()) {
  capacity_ = 12;
  buffer_ = static_cast<char16_t*>(heap_->Allocate(capacity_));
  if (!buffer_) capacity_ = 0;
}

TextBuilder::~TextBuilder() { heap_->Free(buffer_); }

// Room for units more code units and the terminating zero unit.
bool TextBuilder::Reserve(size_t units) {
  if ((length_ + units) * 2 + 2 <= capacity_ && buffer_) return true;
  const size_t capacity = buffer_ ? 2 * capacity_ + 2 * units + 2 : 2 * units + 2;
  if (capacity < capacity_ || (length_ + units) * 2 + 2 > capacity) return false;  // overflow
  auto* grown = static_cast<char16_t*>(heap_->Allocate(capacity));
  if (!grown) return false;
  if (buffer_) std::memcpy(grown, buffer_, length_ * 2);
  heap_->Free(buffer_);
  buffer_ = grown;
  capacity_ = capacity;
  return true;
}

void TextBuilder::Append(std::u16string_view text) {
  if (text.empty() || !Reserve(text.size())) return;
  std::memcpy(buffer_ + length_, text.data(), text.size() * 2);
  length_ += text.size();
}

void TextBuilder::Append(char16_t unit) {
  if (!Reserve(2)) return;
  buffer_[length_++] = unit;
}

void TextBuilder::AppendAnsi(std::string_view cp936) {
  Append(base::ToUtf16(cp936, base::CodePage::kGbk));
}

std::string TextBuilder::ToAnsi() const { return base::FromUtf16(View(), base::CodePage::kGbk); }

namespace {

char16_t EscapeLetter(char16_t c) {
  switch (c) {
    case u'\\': return u'\\';
    case u'"': return u'"';
    case u'\'': return u'\'';
    case u'/': return u'/';
    case 0x08: return u'b';
    case 0x09: return u't';
    case 0x0A: return u'n';
    case 0x0D: return u'r';
    case 0x0C: return u'f';
    default: return 0;
  }
}

void WriteScalar(const JsonValue* v, TextBuilder& out) {
  switch (v->Kind()) {
    case kNull: out.Append(u"null"); break;
    case kBoolean: out.Append(v->BooleanValue() ? u"true" : u"false"); break;
    case kReal: {
      const double r = v->RealValue();
      out.Append(std::isfinite(r) ? FormatReal(r) : u"null");  // infinities and NaN are no JSON
      break;
    }
    case kInteger: out.Append(FormatInteger(v->IntegerValue())); break;
    case kRaw: out.Append(v->Literal()); break;
    case kString:
      out.Append(u'"');
      AppendEscaped(v->Text(), out);
      out.Append(u'"');
      break;
    default: break;
  }
}

void Tabs(TextBuilder& out, int depth) {
  for (int k = 0; k < depth; ++k) out.Append(u'\t');
}

// Writes the opening of a container and answers whether it has anything to walk.
bool OpenContainer(const JsonValue* v, TextBuilder& out, bool pretty) {
  if (v->Kind() == kArray) {
    if (!v->List()) return false;
    out.Append(u'[');
    return true;
  }
  if (!v->Table()) return false;
  out.Append(u'{');
  if (pretty) out.Append(u"\r\n");
  return true;
}

void CloseContainer(const JsonValue* v, TextBuilder& out, bool pretty, int depth) {
  if (v->Kind() == kArray) {
    out.Append(u']');
    return;
  }
  if (pretty) Tabs(out, depth);
  out.Append(u'}');
}

// Before child number index of container v (whose children sit at depth).
void BeforeChild(const JsonValue* v, const JsonValue* child, int32_t index, TextBuilder& out,
                 bool pretty, int depth) {
  if (v->Kind() == kArray) {
    if (index > 0) out.Append(u',');
    return;
  }
  if (pretty) Tabs(out, depth);
  out.Append(u'"');
  AppendEscaped(child->Key(), out);
  out.Append(u"\":");
}

void AfterMember(const JsonValue* v, int32_t index, TextBuilder& out, bool pretty) {
  if (v->Kind() != kObject) return;
  if (index + 1 < v->ChildCount()) out.Append(u',');
  if (pretty) out.Append(u"\r\n");
}

struct Frame {
  const JsonValue* container;
  int32_t next;
};

}  // namespace

void AppendEscaped(std::u16string_view text, TextBuilder& out) {
  size_t plain = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t letter = EscapeLetter(text[i]);
    if (!letter) continue;
    out.Append(text.substr(plain, i - plain));
    const char16_t pair[2] = {u'\\', letter};
    out.Append(std::u16string_view(pair, 2));
    plain = i + 1;
  }
  out.Append(text.substr(plain));
}

std::u16string EscapeText(std::u16string_view text) {
  TextBuilder out;
  AppendEscaped(text, out);
  return std::u16string(out.View());
}

// Iterative walk: an explicit stack of open containers with the index of their next child.
// The depth counter is the number of open containers.
void WriteValue(const JsonValue* value, TextBuilder& out, bool pretty) {
  if (!value) return;
  if (value->Kind() != kArray && value->Kind() != kObject) {
    WriteScalar(value, out);
    return;
  }
  std::vector<Frame> stack;
  if (OpenContainer(value, out, pretty)) stack.push_back({value, 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    const JsonValue* v = top.container;
    const int depth = int(stack.size());
    if (top.next > 0) AfterMember(v, top.next - 1, out, pretty);
    if (top.next >= v->ChildCount()) {
      stack.pop_back();
      CloseContainer(v, out, pretty, depth - 1);
      continue;
    }
    const int32_t index = top.next++;
    const JsonValue* child = v->ChildAt(index);
    BeforeChild(v, child, index, out, pretty, depth);
    if (child->Kind() != kArray && child->Kind() != kObject) {
      WriteScalar(child, out);
    } else if (OpenContainer(child, out, pretty)) {
      stack.push_back({child, 0});  // top is invalid from here on
    }
  }
}

}  // namespace json
