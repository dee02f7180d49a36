#include "resolver/json/json_value.h"

#include "resolver/json/region_heap.h"

#include <cstring>
#include <new>

namespace json {
namespace {

// The literals of Null and Boolean values are shared, never freed texts.
HeapText* SharedLiteral(std::u16string_view text) {
  HeapText* t = HeapText::Make(ProcessHeap(), text);
  return t;
}
HeapText* const kNullLiteral = SharedLiteral(u"null");
HeapText* const kTrueLiteral = SharedLiteral(u"true");
HeapText* const kFalseLiteral = SharedLiteral(u"false");

bool IsShared(const HeapText* t) {
  return t == kNullLiteral || t == kTrueLiteral || t == kFalseLiteral;
}

JsonHeap* OrDefault(JsonHeap* heap) { return heap ? heap : ProcessHeap(); }

}  // namespace

JsonValue* JsonValue::Make(JsonHeap* heap, ValueKind kind, size_t extraBytes) {
  heap = OrDefault(heap);
  void* block = heap->Allocate(sizeof(JsonValue) + extraBytes);
  if (!block) return nullptr;
  auto* v = new (block) JsonValue();
  v->refs_.store(1, std::memory_order_relaxed);
  v->heap_ = heap;
  v->keyHash_ = 0;
  v->key_ = nullptr;
  v->payload_.integer = 0;
  v->next_ = nullptr;
  v->kind_ = kind;
  v->parent_ = nullptr;
  v->literal_ = nullptr;
  v->orderIndex_ = 0;
  return v;
}

// The text becomes the literal.
JsonValue* JsonValue::MakeWithText(JsonHeap* heap, ValueKind kind, std::u16string_view text) {
  JsonValue* v = Make(heap, kind, HeapText::BytesFor(text.size()));
  if (v) v->literal_ = HeapText::Place(v + 1, text);
  return v;
}

void JsonValue::DropText(HeapText* text) {
  if (text && !IsShared(text) && text != InlineText()) HeapText::Free(heap_, text);
}

void JsonValue::FreeRecord() {
  DropText(literal_);
  heap_->Free(this);
}

JsonValue* JsonValue::CreateNull(JsonHeap* heap) {
  JsonValue* v = Make(heap, kNull);
  if (v) v->literal_ = kNullLiteral;
  return v;
}

JsonValue* JsonValue::CreateBoolean(JsonHeap* heap, bool value) {
  JsonValue* v = Make(heap, kBoolean);
  if (!v) return nullptr;
  v->payload_.boolean = value ? 1 : 0;
  v->literal_ = value ? kTrueLiteral : kFalseLiteral;
  return v;
}

JsonValue* JsonValue::CreateReal(JsonHeap* heap, double value) {
  return CreateRealToken(heap, value, FormatReal(value));
}

JsonValue* JsonValue::CreateInteger(JsonHeap* heap, int64_t value) {
  return CreateIntegerToken(heap, value, FormatInteger(value));
}

JsonValue* JsonValue::CreateIntegerToken(JsonHeap* heap, int64_t value,
                                         std::u16string_view token) {
  JsonValue* v = MakeWithText(heap, kInteger, token);
  if (v) v->payload_.integer = value;
  return v;
}

JsonValue* JsonValue::CreateRealToken(JsonHeap* heap, double value, std::u16string_view token) {
  JsonValue* v = MakeWithText(heap, kReal, token);
  if (v) v->payload_.real = value;
  return v;
}

JsonValue* JsonValue::CreateString(JsonHeap* heap, std::u16string_view text) {
  JsonValue* v = Make(heap, kString, HeapText::BytesFor(text.size()));
  if (v) v->payload_.text = HeapText::Place(v + 1, text);
  return v;
}

JsonValue* JsonValue::CreateStringAdopting(JsonHeap* heap, HeapText* text) {
  heap = OrDefault(heap);
  if (!text) return nullptr;
  JsonValue* v = Make(heap, kString);
  if (!v) {
    HeapText::Free(heap, text);
    return nullptr;
  }
  v->payload_.text = text;
  return v;
}

JsonValue* JsonValue::CreateRaw(JsonHeap* heap, std::u16string_view token) {
  return MakeWithText(heap, kRaw, token);
}

JsonValue* JsonValue::CreateArray(JsonHeap* heap) {
  JsonValue* v = Make(heap, kArray);
  if (!v) return nullptr;
  v->payload_.list = ValueList::Make(v->heap_);
  if (!v->payload_.list) {
    v->FreeRecord();
    return nullptr;
  }
  return v;
}

JsonValue* JsonValue::CreateObject(JsonHeap* heap) {
  JsonValue* v = Make(heap, kObject);
  if (!v) return nullptr;
  v->payload_.table = MemberTable::Make(v->heap_);
  if (!v->payload_.table) {
    v->FreeRecord();
    return nullptr;
  }
  return v;
}

bool JsonValue::SetLiteral(std::u16string_view text) {
  HeapText* copy = HeapText::Make(heap_, text);
  if (!copy) return false;
  DropText(literal_);
  literal_ = copy;
  return true;
}

std::u16string_view JsonValue::Text() const {
  return kind_ == kString ? ViewOf(payload_.text) : std::u16string_view();
}

// ---- releasing -----------------------------------------------------------------------------

void JsonValue::LetGo(JsonValue* child, JsonValue** doomed) {
  child->parent_ = nullptr;
  child->next_ = nullptr;
  if (child->DropReference() == 0) {
    child->next_ = *doomed;
    *doomed = child;
  }
}

void JsonValue::ReleaseChildren(JsonValue** doomed) {
  if (kind_ == kObject && payload_.table) {
    MemberTable* t = payload_.table;
    ValueList& order = *t->order_;
    for (int32_t i = 0; i < order.Count(); ++i) {
      JsonValue* m = order.At(i);
      HeapText::Free(t->heap_, m->key_);
      m->key_ = nullptr;
      LetGo(m, doomed);
    }
    order.Empty();
    std::memset(t->buckets_, 0, size_t(t->bucketCount_) * sizeof(JsonValue*));
    t->memberCount_ = 0;
    t->DropIndex();
  } else if (kind_ == kArray && payload_.list) {
    ValueList& list = *payload_.list;
    for (int32_t i = 0; i < list.Count(); ++i) {
      JsonValue* e = list.At(i);
      LetGo(e, doomed);
    }
    list.Empty();
  }
}

void JsonValue::ClearInto(JsonValue** doomed) {
  ReleaseChildren(doomed);
  if (kind_ == kObject) MemberTable::Free(payload_.table);
  if (kind_ == kArray) ValueList::Free(payload_.list);
  if (kind_ == kString) DropText(payload_.text);
  payload_.integer = 0;
  DropText(literal_);
  literal_ = nullptr;
}

void JsonValue::Clear() {
  JsonValue* doomed = nullptr;
  ClearInto(&doomed);
  FreeDoomed(doomed);
}

void JsonValue::ClearContent() {
  JsonValue* doomed = nullptr;
  ReleaseChildren(&doomed);
  if (kind_ == kString) DropText(payload_.text);
  if (kind_ != kObject && kind_ != kArray) payload_.integer = 0;
  DropText(literal_);
  literal_ = nullptr;
  FreeDoomed(doomed);
}

// The holder of the only reference is alone with the value: no other thread can count it,
// so the last reference goes without an atomic read-modify-write.
int32_t JsonValue::DropReference() {
  if (refs_.load(std::memory_order_acquire) == 1) {
    refs_.store(0, std::memory_order_relaxed);
    return 0;
  }
  return refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
}

int32_t JsonValue::Release() {
  const int32_t left = DropReference();
  if (left == 0) {
    Detach();
    next_ = nullptr;
    FreeDoomed(this);
  }
  return left;
}

// Frees a chain of values whose counts reached zero, and every descendant that goes with
// them, without recursion.
void JsonValue::FreeDoomed(JsonValue* doomed) {
  if (!doomed) return;
  while (doomed) {
    JsonValue* v = doomed;
    doomed = v->next_;
    v->ClearInto(&doomed);
    v->heap_->Free(v);
  }
  RegionHeap::FlushFrees();
}

// ---- conversion and scalars ----------------------------------------------------------------

bool JsonValue::ToObject() {
  if (kind_ == kObject && payload_.table) return true;
  Clear();
  kind_ = kObject;
  payload_.table = MemberTable::Make(heap_);
  return payload_.table != nullptr;
}

bool JsonValue::ToArray() {
  if (kind_ == kArray && payload_.list) return true;
  Clear();
  kind_ = kArray;
  payload_.list = ValueList::Make(heap_);
  return payload_.list != nullptr;
}

bool JsonValue::AssignNull() {
  Clear();
  kind_ = kNull;
  literal_ = kNullLiteral;
  return true;
}

bool JsonValue::AssignBoolean(bool value) {
  Clear();
  kind_ = kBoolean;
  payload_.boolean = value ? 1 : 0;
  literal_ = value ? kTrueLiteral : kFalseLiteral;
  return true;
}

bool JsonValue::AssignReal(double value) {
  Clear();
  kind_ = kReal;
  payload_.real = value;
  return SetLiteral(FormatReal(value));
}

bool JsonValue::AssignInteger(int64_t value) {
  Clear();
  kind_ = kInteger;
  payload_.integer = value;
  return SetLiteral(FormatInteger(value));
}

bool JsonValue::AssignString(std::u16string_view text) {
  HeapText* copy = HeapText::Make(heap_, text);
  if (!copy) return false;
  Clear();
  kind_ = kString;
  payload_.text = copy;
  return true;
}

}  // namespace json
