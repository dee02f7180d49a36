#pragma once
// JsonDocument: the program's handle on a JSON document.
//
// A handle holds one counted reference to a root JsonValue, or none (a new handle has none).
// Copying a handle shares the root; destroying it drops the reference, which frees the tree
// once no other holder is left. Handles returned by Member, Element, Node, ParentOf share
// values with the tree they came from: editing through them edits that tree.
//
// Texts: every operation comes in an ANSI form (std::string of code page 936 bytes, the
// program's text) and a wide form with the suffix W (UTF-16). Both stop at the first zero
// unit / byte of an argument, as the texts of the program are zero-terminated.
//
// Paths address values below the root: members by name, elements by [index], joined by points,
// e.g. "file_list.list[0].fs_id". An empty path is the root itself.
//   - "a..b", a leading or a trailing point: a segment with the empty name (the member "").
//   - "[0]" is an index without a name; "a.[0]" and "a[0]" are the same value.
//   - An index is read like StrToIntW: optional sign, decimal digits, stops at the first other
//     character, no digits give 0. Only the first closing bracket counts: a[1][2] is a[1].
//   - An index outside the signed 32-bit range, or a negative one, addresses nothing.
//   - There is no quoting: a name holding a point or an opening bracket cannot be addressed.
//
// Every operation with a path except Exists creates what is missing on the way (as Null
// values) and converts what is in the way (a non-Object walked by name becomes an empty
// Object, a non-Array walked by index an empty Array, losing its content). So a getter on a
// missing path adds that path as Nulls and answers its default. Exists creates nothing.
//
// Getters never fail; on a missing node or a value of another kind they answer:
//   GetInteger 0 (a Real is truncated toward zero), GetReal 0 (an Integer is converted),
//   GetBoolean false (true only for a Boolean true), GetString empty (only a String has text),
//   GetLiteral the literal ("null", "true"/"false", the number token as it stood in the
//   parsed text, "%.13g" or decimal form for a number set through a handle, the token of a
//   Raw value; empty for String, Array, Object and none), Count the member/element count
//   (0 otherwise), KindOf the ValueKind number (-1 for none, the same number as Raw).
//
// Parse failures answer false and leave the root an empty value of its kind.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace json {

class JsonValue;

class JsonDocument {
 public:
  JsonDocument();
  ~JsonDocument();
  JsonDocument(const JsonDocument& other);             // shares the root
  JsonDocument& operator=(const JsonDocument& other);  // shares the root
  JsonDocument(JsonDocument&& other) noexcept;
  JsonDocument& operator=(JsonDocument&& other) noexcept;

  // A new empty Object replaces the root; then the text, if given, is parsed into it.
  // True unless the new root or the parse failed. Without a text: true.
  bool Load();
  bool Load(std::string_view text, bool decodeUnicodeEscapes = false);
  bool LoadW();
  bool LoadW(std::u16string_view text, bool decodeUnicodeEscapes = false);

  void Reset();                      // drops the root
  JsonValue* GetRoot() const;        // no reference added
  void SetRoot(JsonValue* value);    // adds a reference, releases the old root; null: no change

  // New values, on the heap of this handle's root; not part of this handle's tree.
  JsonDocument NewObject() const;
  JsonDocument NewArray() const;
  JsonDocument NewNull() const;
  JsonDocument NewBoolean(bool value) const;
  JsonDocument NewStringW(std::u16string_view text) const;
  JsonDocument NewString(std::string_view text) const;
  JsonDocument NewReal(double value) const;
  JsonDocument NewInteger(int64_t value) const;

  // Parses into the root (a new empty Object when there is none); true when the parser
  // answered 0. An empty text succeeds and leaves the root as it was. decodeUnicodeEscapes
  // turns "\uXXXX" into the code unit; off, the six characters stay as they are.
  bool ParseW(std::u16string_view text, bool decodeUnicodeEscapes = false);
  bool Parse(std::string_view text, bool decodeUnicodeEscapes = false);
  // Parser result code of the last Parse/ParseW/Load/LoadW (0 success, -1 ... -8).
  int LastParseResult() const { return lastParseResult_; }

  // JSON text of the node; pretty puts CR LF and tabs around Object members.
  std::u16string ToTextW(std::u16string_view path = {}, bool pretty = false);
  std::string ToText(std::string_view path = {}, bool pretty = false);

  int KindOf(std::string_view path = {});
  int KindOfW(std::u16string_view path = {});
  JsonDocument ParentOf(std::string_view path = {});
  JsonDocument ParentOfW(std::u16string_view path = {});
  int32_t Count(std::string_view path = {});
  int32_t CountW(std::u16string_view path = {});

  // Takes the root out of the container that holds it; that container's reference is given
  // up, this handle keeps its own. True if the root had a container.
  bool DetachRoot();

  bool RemoveMemberW(std::u16string_view path, std::u16string_view name);
  bool RemoveMember(std::string_view path, std::string_view name);
  bool RemoveElement(std::string_view path, int32_t index);
  bool RemoveElementW(std::u16string_view path, int32_t index);
  // Empties the node (members, elements, text, literal), keeping its kind. True if there
  // was a node.
  bool ClearAt(std::string_view path = {});
  bool ClearAtW(std::u16string_view path = {});
  bool HasMember(std::string_view path, std::string_view name);
  bool HasMemberW(std::u16string_view path, std::u16string_view name);
  bool HasIndex(std::string_view path, int32_t index);
  bool HasIndexW(std::u16string_view path, int32_t index);

  // Editing with other handles: the other handle's root is put into this tree. A root that
  // sits in a container already is moved out of it; a value is never put inside itself.
  // False when the other handle has no root.
  bool SetMember(std::string_view path, std::string_view name, const JsonDocument& value);
  bool SetMemberW(std::u16string_view path, std::u16string_view name, const JsonDocument& value);
  JsonDocument Member(std::string_view path, std::string_view name);
  JsonDocument MemberW(std::u16string_view path, std::u16string_view name);
  bool Append(std::string_view path, const JsonDocument& value);
  bool AppendW(std::u16string_view path, const JsonDocument& value);
  JsonDocument Element(std::string_view path, int32_t index);
  JsonDocument ElementW(std::u16string_view path, int32_t index);
  bool SetElement(std::string_view path, int32_t index, const JsonDocument& value);
  bool SetElementW(std::u16string_view path, int32_t index, const JsonDocument& value);

  bool ExistsW(std::u16string_view path) const;  // false for the empty path
  bool Exists(std::string_view path) const;
  JsonDocument Node(std::string_view path = {});
  JsonDocument NodeW(std::u16string_view path = {});

  // Setters replace the node's content and kind; false only when there is no node.
  bool SetString(std::string_view path, std::string_view text);
  bool SetStringW(std::u16string_view path, std::u16string_view text);
  bool SetNullW(std::u16string_view path = {});
  bool SetNull(std::string_view path = {});
  bool SetBooleanW(std::u16string_view path, bool value);
  bool SetBoolean(std::string_view path, bool value);
  bool SetRealW(std::u16string_view path, double value);
  bool SetReal(std::string_view path, double value);
  bool SetIntegerW(std::u16string_view path, int64_t value);
  bool SetInteger(std::string_view path, int64_t value);

  std::string GetLiteral(std::string_view path = {});
  std::u16string GetLiteralW(std::u16string_view path = {});
  std::string GetString(std::string_view path = {});
  std::u16string GetStringW(std::u16string_view path = {});
  bool GetBooleanW(std::u16string_view path = {});
  bool GetBoolean(std::string_view path = {});
  double GetRealW(std::u16string_view path = {});
  double GetReal(std::string_view path = {});
  int64_t GetIntegerW(std::u16string_view path = {});
  int64_t GetInteger(std::string_view path = {});

  // For an Object node: names resized to the member count and filled in insertion order;
  // answers the count. Any other node: 0, names left as they were.
  int32_t MemberNamesW(std::u16string_view path, std::vector<std::u16string>& names);
  int32_t MemberNames(std::string_view path, std::vector<std::string>& names);
  // Handles on the children of an Object (insertion order) or an Array (element order);
  // answers their number. None: 0, children left as they were.
  int32_t ChildrenW(std::u16string_view path, std::vector<JsonDocument>& children);

  // A handle on a deep copy of the node (count 1, no parent); numbers of the copy carry the
  // "%.13g" / decimal literal, not the parsed token.
  JsonDocument CopyOfW(std::u16string_view path = {});
  JsonDocument CopyOf(std::string_view path = {});

 private:
  JsonValue* Resolve(std::u16string_view path);
  JsonValue* ResolveAnsi(std::string_view path);
  static JsonDocument Holding(JsonValue* value);  // a handle taking a reference to value
  static JsonDocument Adopting(JsonValue* made);  // a handle taking over a new value
  bool Insert(JsonValue* node, const JsonDocument& value, int kind, std::u16string_view name,
              int32_t index);
  int ParseInternal(std::u16string_view text, bool decodeUnicodeEscapes);

  JsonValue* root_ = nullptr;
  int lastParseResult_ = 0;
};

}  // namespace json
