#pragma once
// JsonValue: one reference-counted node of a JSON tree.
//
// Kinds and their numbers (ValueKind): Raw -1, Null 0, Real 1, Integer 2, Boolean 3,
// String 4, Array 5, Object 6. Every value may carry a literal: "null", "true"/"false", the
// number token as parsed, "%.13g" (Real) or decimal (Integer) for a number made from a
// number, the unquoted token of a Raw value. Strings, Arrays and Objects have none.
//
// Ownership: a value is born with count 1 and whoever made it owns that reference. A
// container holds exactly one reference to each child. A value sits in at most one
// container (its parent; the link is not counted). Containers refuse a child that already
// has a parent or that is the target itself or one of its ancestors; move a value by
// detaching it first.
//
// Parent links never dangle: when a container is cleared, converted or freed it first clears
// the parent link (and the key) of every child it lets go of, and then releases it. A child
// still held elsewhere thus survives as a value without a parent.
//
// Release and Clear work through a worklist, not recursion: a tree of any depth is freed
// without growing the call stack. DeepCopy is iterative as well.
//
// Reference counts are atomic; nothing else is locked: a tree is used by one thread at a time.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resolver/json/json_heap.h"
#include "resolver/json/json_text.h"
#include "resolver/json/member_table.h"
#include "resolver/json/value_list.h"

namespace json {

enum ValueKind : int32_t {
  kRaw = -1,
  kNull = 0,
  kReal = 1,
  kInteger = 2,
  kBoolean = 3,
  kString = 4,
  kArray = 5,
  kObject = 6,
};

class JsonValue {
 public:
  // New values with count 1 and no parent, from heap (nullptr: ProcessHeap()); nullptr when
  // memory runs out. Literals as described above.
  static JsonValue* CreateNull(JsonHeap* heap);
  static JsonValue* CreateBoolean(JsonHeap* heap, bool value);
  static JsonValue* CreateReal(JsonHeap* heap, double value);
  static JsonValue* CreateInteger(JsonHeap* heap, int64_t value);
  static JsonValue* CreateString(JsonHeap* heap, std::u16string_view text);
  static JsonValue* CreateRaw(JsonHeap* heap, std::u16string_view token);
  static JsonValue* CreateArray(JsonHeap* heap);
  static JsonValue* CreateObject(JsonHeap* heap);
  // Numbers read from a token: the payload as given and the token as their literal.
  static JsonValue* CreateIntegerToken(JsonHeap* heap, int64_t value, std::u16string_view token);
  static JsonValue* CreateRealToken(JsonHeap* heap, double value, std::u16string_view token);
  // A String value taking over text (from heap); on failure text is freed.
  static JsonValue* CreateStringAdopting(JsonHeap* heap, HeapText* text);

  // The operation table: Query answers 1; AddRef / Release return the new count; Release at
  // zero detaches the value, clears it and frees it.
  int32_t Query() const { return 1; }
  int32_t AddRef() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  int32_t Release();
  // Releases what the value owns (children, text, literal, containers); the kind stays.
  void Clear();
  // Empties the value but keeps its kind and its list or table (the bucket count stays).
  void ClearContent();
  // Makes the value an empty Object / Array unless it already is one; earlier content is
  // released. False when the new table or list cannot be made (the value is then cleared).
  bool ToObject();
  bool ToArray();
  // Replaces the literal by a copy of text; false when memory runs out (literal unchanged).
  bool SetLiteral(std::u16string_view text);
  // Replaces the content by a scalar (Clear, then kind, payload and literal).
  bool AssignNull();
  bool AssignBoolean(bool value);
  bool AssignReal(double value);
  bool AssignInteger(int64_t value);
  bool AssignString(std::u16string_view text);

  // Container operations. A none target or child answers false / nullptr. On success the
  // container takes over the reference the caller hands in; on failure the caller keeps it.
  static bool AppendChild(JsonValue* target, JsonValue* child);             // ToArray first
  static bool PutMember(JsonValue* target, std::u16string_view key, JsonValue* child);  // ToObject
  static bool PutElement(JsonValue* target, int32_t index, JsonValue* child);  // Null padding
  // The member / element, created as Null when missing (ToObject / ToArray first); no
  // reference added. A negative index answers nullptr and creates nothing.
  static JsonValue* TakeMember(JsonValue* target, std::u16string_view key);
  static JsonValue* TakeElement(JsonValue* target, int32_t index);
  // Remove and release; no conversion: false for another kind or a missing member / index.
  static bool DropMember(JsonValue* object, std::u16string_view key);
  static bool DropElement(JsonValue* array, int32_t index);
  // Removes the value from its parent; the reference count is not changed.
  void Detach();
  // A deep copy on v's heap: count 1, no parent; numbers get fresh literals from the payload.
  static JsonValue* DeepCopy(const JsonValue* v);

  JsonValue* FindMember(std::u16string_view key) const;  // no reference added
  int32_t ChildCount() const;
  JsonValue* ChildAt(int32_t i) const;  // Array element or Object member in order, or nullptr
  void MemberNames(std::vector<std::u16string>& names) const;
  void Children(std::vector<JsonValue*>& children) const;

  // Internal insertion for fresh children made by the library itself (parser, copy):
  // skips the parent and ancestor checks.
  bool AppendFresh(JsonValue* child);
  bool PutFresh(std::u16string_view key, JsonValue* child);

  // True if this value is v or one of v's containers, up to the top of v's tree.
  bool IsSelfOrAncestorOf(const JsonValue* v) const;

  ValueKind Kind() const { return kind_; }
  int32_t RefCount() const { return refs_.load(std::memory_order_relaxed); }
  JsonHeap* Heap() const { return heap_; }
  JsonValue* Parent() const { return parent_; }
  std::u16string_view Literal() const { return ViewOf(literal_); }
  bool HasLiteral() const { return literal_ != nullptr; }
  std::u16string_view Text() const;  // String text; empty otherwise
  HeapText* StringText() { return kind_ == kString ? payload_.text : nullptr; }  // for decoding
  bool BooleanValue() const { return kind_ == kBoolean && payload_.boolean != 0; }
  double RealValue() const { return payload_.real; }
  int64_t IntegerValue() const { return payload_.integer; }
  // Member name and hash while the value is a member of an Object.
  std::u16string_view Key() const { return ViewOf(key_); }
  int32_t KeyHash() const { return keyHash_; }
  ValueList* List() const { return kind_ == kArray ? payload_.list : nullptr; }
  MemberTable* Table() const { return kind_ == kObject ? payload_.table : nullptr; }

 private:
  friend class MemberTable;
  static JsonValue* Make(JsonHeap* heap, ValueKind kind, size_t extraBytes = 0);
  int32_t DropReference();  // the new count
  // A value whose literal is a copy of text in the same block, right after the record.
  static JsonValue* MakeWithText(JsonHeap* heap, ValueKind kind, std::u16string_view text);
  const HeapText* InlineText() const { return reinterpret_cast<const HeapText*>(this + 1); }
  // Frees a text the value owns, unless it is a shared literal or sits in the value's block.
  void DropText(HeapText* text);
  void FreeRecord();
  // Lets go of every child: clears its links, then drops the container's reference; children
  // whose count reaches zero are chained onto doomed (through next) instead of being freed
  // recursively.
  void ReleaseChildren(JsonValue** doomed);
  static void LetGo(JsonValue* child, JsonValue** doomed);
  void ClearInto(JsonValue** doomed);
  static void FreeDoomed(JsonValue* doomed);
  union Payload {
    int64_t integer;
    double real;
    int32_t boolean;
    HeapText* text;
    ValueList* list;
    MemberTable* table;
  };

  std::atomic<int32_t> refs_;
  JsonHeap* heap_;
  int32_t keyHash_;
  HeapText* key_;
  Payload payload_;
  JsonValue* next_;
  ValueKind kind_;
  JsonValue* parent_;
  HeapText* literal_;
  int32_t orderIndex_;  // position in the parent table's order list while a member
};

// Numbers in the form of made values: printf "%.13g" with a two-digit minimum exponent
// (1e+20) in every build; infinities and NaN as "inf", "-inf", "nan".
std::u16string FormatReal(double value);
std::u16string FormatInteger(int64_t value);

}  // namespace json
