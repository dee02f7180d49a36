// Fuzz target: arbitrary bytes through JsonDocument's parser, read as CP936 text and as raw
// UTF-16 units; the low bit of the first byte picks the decode option, the next bit the
// reading. Every success is
// written back and reparsed: the text must parse again, the tree it gives must write the same
// text again (a fixpoint), its pretty form must read back to the same tree, and a deep copy
// must write what the original writes.
//
// Raw values are written as their literal, unquoted. The scan can leave quotes, colons,
// commas, brackets or braces in a Raw literal (a bare value running over a quoted name, as in
// {'a':1,'b' ]); such a tree writes text that is not read back the same, so the round trip is
// only asserted for trees whose Raw literals hold none of them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resolver/json/json_document.h"
#include "resolver/json/json_value.h"
#include "resolver/json/region_heap.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Text with a zero unit cannot be read back whole: the handle reads up to the first one.
bool Readable(const std::u16string& text) { return text.find(u'\0') == std::u16string::npos; }

bool PlainRawLiterals(const json::JsonValue* root) {
  std::vector<const json::JsonValue*> pending{root};
  while (!pending.empty()) {
    const json::JsonValue* v = pending.back();
    pending.pop_back();
    if (v->Kind() == json::kRaw && v->Literal().find_first_of(u"{}[]:,\"'") != std::u16string::npos) {
      return false;
    }
    for (int32_t i = 0; i < v->ChildCount(); ++i) pending.push_back(v->ChildAt(i));
  }
  return true;
}

void RoundTrip(json::JsonDocument& doc, bool decode) {
  const std::u16string first = doc.ToTextW();
  Check(doc.CopyOfW().ToTextW() == first);
  if (!Readable(first) || !PlainRawLiterals(doc.GetRoot())) return;
  json::JsonDocument again;
  Check(again.ParseW(first, decode));
  const std::u16string second = again.ToTextW();
  if (!Readable(second)) return;
  if (second != first) {  // a fixpoint from the second writing on
    json::JsonDocument third;
    Check(third.ParseW(second, decode));
    Check(third.ToTextW() == second);
  }
  json::JsonDocument pretty;
  Check(pretty.ParseW(again.ToTextW(u"", true), decode));
  Check(pretty.ToTextW() == second);
  doc.ToText();  // the ANSI form of the output
}

void Touch(json::JsonDocument& doc) {
  std::vector<json::JsonDocument> children;
  const int32_t n = doc.ChildrenW(u"", children);
  for (int32_t i = 0; i < n && i < 8; ++i) {
    children[size_t(i)].GetLiteralW();
    children[size_t(i)].GetIntegerW();
    children[size_t(i)].GetRealW();
    children[size_t(i)].ParentOfW();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool decode = size > 0 && (data[0] & 1) != 0;
  const bool wide = size > 0 && (data[0] & 2) != 0;
  if (!wide) {
    json::JsonDocument doc;
    if (doc.Parse(std::string(reinterpret_cast<const char*>(data), size), decode)) {
      RoundTrip(doc, decode);
      Touch(doc);
    }
  } else {
    std::u16string units(size / 2, u'\0');
    if (!units.empty()) std::memcpy(&units[0], data, units.size() * 2);
    // This reading builds its tree on the product build's heap (the sanitizers' default heap
    // is plain operator new), so that the sanitizers watch its chunks too.
    static json::RegionHeap region;
    json::JsonDocument doc;
    doc.SetRoot(json::JsonValue::CreateObject(&region));
    doc.GetRoot()->Release();
    if (doc.ParseW(units, decode)) {
      RoundTrip(doc, decode);
      Touch(doc);
    }
  }
  return 0;
}
