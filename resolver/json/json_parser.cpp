// The scanner behind ParseInto. One forward pass: structural characters drive a small state
// (open containers, the current member name, the pending value); scalar tokens are cut out of
// the text between them when a comma or a closing bracket/brace stores them.
#include "resolver/json/json_parser.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "resolver/json/json_value.h"

namespace json {
namespace {

bool PlainInteger(std::u16string_view token, int64_t& value);

bool IsBlank(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\t' || c == u' '; }

// Units the scan reacts to: bit 1 outside strings, bit 2 inside them.
struct ReactTable {
  unsigned char bits[128] = {};
  constexpr ReactTable() {
    for (char c : {'{', '[', ':', ',', ']', '}'}) bits[int(c)] = 1;
    for (char c : {'"', '\'', '\\', '\0'}) bits[int(c)] = 3;
  }
};
constexpr ReactTable kReacts;

bool Reacts(char16_t c, unsigned char mask) { return c < 128 && (kReacts.bits[c] & mask) != 0; }

class Scanner {
 public:
  Scanner(JsonValue* root, const char16_t* text, size_t length, bool decode, bool endAtZero)
      : root_(root), text_(text), length_(length), decode_(decode), endAtZero_(endAtZero) {}
  ~Scanner() { ValueList::Free(stack_); }

  int Run();

 private:
  size_t Step(size_t i, int& code);
  int OnOpen(size_t i, bool object);
  int OnQuote(size_t i, char16_t c);
  int OnColon(size_t i);
  int OnComma(size_t i);
  int OnClose(size_t i, bool bracket);
  int Store(size_t i, bool asElement);
  int StoreValue(JsonValue* top, bool asElement, JsonValue* value);
  JsonValue* MakeScalar(JsonValue* top, size_t i, bool asElement, int& code);
  std::u16string_view MemberName();
  bool BlankSince(size_t start, size_t end) const;
  JsonValue* Top() const { return stack_->Count() ? stack_->At(stack_->Count() - 1) : nullptr; }
  void Pop() { stack_->RemoveAt(stack_->Count() - 1); }

  JsonValue* root_;
  const char16_t* text_;
  size_t length_;
  bool decode_;
  bool endAtZero_;
  ValueList* stack_ = nullptr;
  char16_t quote_ = 0;
  ptrdiff_t keyStart_ = -1;
  size_t keyLength_ = 0;
  ptrdiff_t valueStart_ = -1;
  size_t stringLength_ = 0;
  bool afterColon_ = false;
  bool stringPending_ = false;
  std::u16string nameBuffer_;   // a member name being decoded
  std::u16string tokenBuffer_;  // a bare token with its blanks removed
};

int Scanner::Run() {
  stack_ = ValueList::Make(ProcessHeap());
  if (!stack_) return kParseNoMemory;
  root_->ClearContent();
  int code = 0;
  for (size_t i = 0; i < length_ && code == 0;) i = Step(i, code);
  if (code == 0 && stack_->Count() > 0) code = kParseNoContainer;
  if (code != 0) root_->ClearContent();
  return code;
}

// Handles text_[i]; answers the next index. Runs of ordinary text are passed over at once.
size_t Scanner::Step(size_t i, int& code) {
  const char16_t c = text_[i];
  if (c == 0 && endAtZero_) {
    length_ = i;
    return i;
  }
  if (quote_ == 0) {
    switch (c) {
      case u'{': code = OnOpen(i, true); return i + 1;
      case u'[': code = OnOpen(i, false); return i + 1;
      case u':': code = OnColon(i); return i + 1;
      case u',': code = OnComma(i); return i + 1;
      case u']': code = OnClose(i, true); return i + 1;
      case u'}': code = OnClose(i, false); return i + 1;
      default: break;
    }
  }
  if (c == u'"' || c == u'\'') {
    code = OnQuote(i, c);
    return i + 1;
  }
  if (c == u'\\') {
    const char16_t next = i + 1 < length_ ? text_[i + 1] : 0;
    return (next == u'"' || next == u'\'' || next == u'\\') ? i + 2 : i + 1;
  }
  // Ordinary text: skip to the next unit that any rule reacts to.
  const unsigned char mask = quote_ == 0 ? 1 : 2;
  for (++i; i < length_ && !Reacts(text_[i], mask); ++i) {
  }
  return i;
}

int Scanner::OnOpen(size_t i, bool object) {
  if (!object) valueStart_ = ptrdiff_t(i) + 1;
  afterColon_ = false;
  if (stack_->Count() == 0) {
    if (!stack_->Append(root_) || !(object ? root_->ToObject() : root_->ToArray())) {
      return kParseNoMemory;
    }
    stringPending_ = false;
    return 0;
  }
  if (stack_->Count() >= kMaxDepth) return kParseNoMemory;
  JsonValue* top = Top();
  const bool intoArray = top->Kind() == kArray;
  if (!intoArray && keyStart_ == -1) return kParseNoMemberName;
  JsonValue* made = object ? JsonValue::CreateObject(top->Heap()) : JsonValue::CreateArray(top->Heap());
  if (!made) return kParseNoMemory;
  if (!(intoArray ? top->AppendFresh(made) : top->PutFresh(MemberName(), made))) {
    made->Release();
    return kParseStoreFailed;
  }
  if (!intoArray && object) keyLength_ = 0;
  if (!stack_->Append(made)) return kParseNoMemory;
  if (object) {
    keyStart_ = -1;
    valueStart_ = -1;
  }
  stringPending_ = false;
  return 0;
}

int Scanner::OnQuote(size_t i, char16_t c) {
  JsonValue* top = Top();
  if (!top) return kParseNoContainer;
  const bool name = top->Kind() == kObject && !afterColon_;
  if (!name) stringPending_ = true;
  if (quote_ == 0) {
    quote_ = c;
    (name ? keyStart_ : valueStart_) = ptrdiff_t(i) + 1;
  } else if (quote_ == c) {
    const ptrdiff_t start = name ? keyStart_ : valueStart_;
    const size_t length = start >= 0 ? i - size_t(start) : 0;
    (name ? keyLength_ : stringLength_) = length;
    quote_ = 0;
  }
  return 0;
}

int Scanner::OnColon(size_t i) {
  JsonValue* top = Top();
  if (!top) return kParseNoContainer;
  if (top->Kind() == kArray) return kParseColonInArray;
  afterColon_ = true;
  valueStart_ = ptrdiff_t(i) + 1;
  return 0;
}

int Scanner::OnComma(size_t i) {
  JsonValue* top = Top();
  if (!top) return kParseNoContainer;
  if (valueStart_ != -1) {
    if (const int code = Store(i, top->Kind() == kArray)) return code;
    stringPending_ = false;
    afterColon_ = false;
  }
  valueStart_ = ptrdiff_t(i) + 1;
  return 0;
}

// A closing bracket stores the pending value as an element, a closing brace as a member. A
// blank pending value after a comma is a trailing comma (-7) before either; before a closing
// bracket it is allowed only right after the opening bracket ([] and [ ]).
int Scanner::OnClose(size_t i, bool bracket) {
  if (valueStart_ != -1) {
    if (!stringPending_ && BlankSince(size_t(valueStart_), i)) {
      const char16_t before = text_[valueStart_ - 1];
      if (bracket ? before != u'[' : before == u',') return kParseTrailingComma;
    }
    if (const int code = Store(i, bracket)) return code;
    stringPending_ = false;
    afterColon_ = false;
    keyStart_ = -1;
    valueStart_ = -1;
  }
  if (stack_->Count() > 0) Pop();
  return 0;
}

bool Scanner::BlankSince(size_t start, size_t end) const {
  for (size_t k = start; k < end; ++k) {
    if (text_[k] > 32) return false;
  }
  return true;
}

std::u16string_view Scanner::MemberName() {
  const size_t start = size_t(keyStart_);
  const size_t length = std::min(keyLength_, length_ - start);
  std::u16string_view raw(text_ + start, length);
  if (raw.find(u'\\') == std::u16string_view::npos) return raw;
  nameBuffer_.assign(raw);
  nameBuffer_.resize(UnescapeText(&nameBuffer_[0], nameBuffer_.size(), decode_));
  return nameBuffer_;
}

int Scanner::Store(size_t i, bool asElement) {
  JsonValue* top = Top();
  if (!top) return kParseNoContainer;
  if (!asElement && keyStart_ == -1) return kParseNoMemberName;
  int code = 0;
  JsonValue* value = MakeScalar(top, i, asElement, code);
  if (!value) return code;
  return StoreValue(top, asElement, value);
}

int Scanner::StoreValue(JsonValue* top, bool asElement, JsonValue* value) {
  if (!(asElement ? top->AppendFresh(value) : top->PutFresh(MemberName(), value))) {
    value->Release();
    return kParseStoreFailed;
  }
  return 0;
}

// The pending value as a new value on the top's heap; nullptr with code 0 for a blank
// element (nothing to store), with code -3 when memory runs out.
JsonValue* Scanner::MakeScalar(JsonValue* top, size_t i, bool asElement, int& code) {
  JsonHeap* heap = top->Heap();
  const size_t start = size_t(valueStart_);
  if (stringPending_) {
    const size_t length = std::min(stringLength_, i - start);  // never past the current unit
    JsonValue* v = JsonValue::CreateString(heap, std::u16string_view(text_ + start, length));
    if (!v) {
      code = kParseNoMemory;
      return nullptr;
    }
    HeapText* text = v->StringText();  // decoded in place: it only gets shorter
    text->Shorten(UnescapeText(text->Units(), text->Length(), decode_));
    return v;
  }
  std::u16string_view token(text_ + start, i - start);
  while (!token.empty() && IsBlank(token.front())) token.remove_prefix(1);
  while (!token.empty() && IsBlank(token.back())) token.remove_suffix(1);
  if (std::any_of(token.begin(), token.end(), IsBlank)) {
    tokenBuffer_.clear();
    for (char16_t c : token) {
      if (!IsBlank(c)) tokenBuffer_.push_back(c);
    }
    token = tokenBuffer_;
  }
  if (token.empty() && asElement) return nullptr;
  int64_t integer = 0;
  JsonValue* v = nullptr;
  if (PlainInteger(token, integer)) {
    v = JsonValue::CreateIntegerToken(heap, integer, token);
    if (!v) code = kParseNoMemory;
    return v;
  }
  switch (Classify(token)) {
    case kNull: v = JsonValue::CreateNull(heap); break;
    case kBoolean: v = JsonValue::CreateBoolean(heap, token == u"true"); break;
    case kInteger: v = JsonValue::CreateIntegerToken(heap, ParseInteger(token), token); break;
    case kReal: v = JsonValue::CreateRealToken(heap, ParseReal(token), token); break;
    default: v = JsonValue::CreateRaw(heap, token); break;
  }
  if (!v) code = kParseNoMemory;
  return v;
}

// The common token: an optional minus and up to 18 digits, read in one pass. Anything else
// goes the general way (Classify, ParseInteger, ParseReal), with the same results.
bool PlainInteger(std::u16string_view token, int64_t& value) {
  size_t i = !token.empty() && token[0] == u'-' ? 1 : 0;
  if (token.size() <= i || token.size() - i > 18) return false;
  int64_t v = 0;
  for (size_t k = i; k < token.size(); ++k) {
    const unsigned digit = unsigned(token[k]) - u'0';
    if (digit > 9) return false;
    v = v * 10 + digit;
  }
  value = i ? -v : v;
  return true;
}

}  // namespace

int ParseInto(JsonValue* root, const char16_t* text, size_t length, bool decodeUnicodeEscapes,
              bool endAtZero) {
  if (!root || !text) return kParseMissingInput;
  if (length == 0 || (endAtZero && text[0] == 0)) return kParseOk;
  try {
    Scanner scanner(root, text, length, decodeUnicodeEscapes, endAtZero);
    return scanner.Run();
  } catch (const std::bad_alloc&) {
    root->ClearContent();
    return kParseNoMemory;
  }
}

}  // namespace json
