#include "resolver/json/json_document.h"

#include <cmath>
#include <limits>
#include <new>

#include "base/codepage.h"
#include "resolver/json/json_parser.h"
#include "resolver/json/json_path.h"
#include "resolver/json/json_serializer.h"
#include "resolver/json/json_value.h"

namespace json {
namespace {

// Arguments are zero-terminated texts of the program: they end at their first zero unit.
std::u16string_view Cut(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

std::u16string Wide(std::string_view ansi) {
  return base::ToUtf16(ansi.substr(0, ansi.find('\0')), base::CodePage::kGbk);
}

std::string Ansi(std::u16string_view wide) { return base::FromUtf16(wide, base::CodePage::kGbk); }

JsonHeap* HeapOf(const JsonValue* v) { return v ? v->Heap() : nullptr; }

enum InsertKind { kAsMember, kAsAppended, kAsElement };

}  // namespace

JsonDocument::JsonDocument() = default;

JsonDocument::~JsonDocument() { Reset(); }

JsonDocument::JsonDocument(const JsonDocument& other) : root_(other.root_) {
  if (root_) root_->AddRef();
}

JsonDocument& JsonDocument::operator=(const JsonDocument& other) {
  if (other.root_) other.root_->AddRef();
  Reset();
  root_ = other.root_;
  return *this;
}

JsonDocument::JsonDocument(JsonDocument&& other) noexcept : root_(other.root_) {
  other.root_ = nullptr;
}

JsonDocument& JsonDocument::operator=(JsonDocument&& other) noexcept {
  if (this != &other) {
    Reset();
    root_ = other.root_;
    other.root_ = nullptr;
  }
  return *this;
}

JsonDocument JsonDocument::Holding(JsonValue* value) {
  JsonDocument d;
  d.SetRoot(value);
  return d;
}

JsonDocument JsonDocument::Adopting(JsonValue* made) {
  JsonDocument d;
  d.root_ = made;
  return d;
}

JsonValue* JsonDocument::Resolve(std::u16string_view path) {
  return root_ ? ResolvePath(root_, Cut(path)) : nullptr;
}

JsonValue* JsonDocument::ResolveAnsi(std::string_view path) { return Resolve(Wide(path)); }

// ---- root --------------------------------------------------------------------------------

bool JsonDocument::Load() {
  JsonValue* fresh = JsonValue::CreateObject(nullptr);
  if (!fresh) return false;
  Reset();
  root_ = fresh;
  return true;
}

bool JsonDocument::LoadW() { return Load(); }

bool JsonDocument::LoadW(std::u16string_view text, bool decode) {
  return Load() && ParseInternal(text, decode) == 0;
}

bool JsonDocument::Load(std::string_view text, bool decode) { return LoadW(Wide(text), decode); }

void JsonDocument::Reset() {
  if (root_) root_->Release();
  root_ = nullptr;
}

JsonValue* JsonDocument::GetRoot() const { return root_; }

void JsonDocument::SetRoot(JsonValue* value) {
  if (!value) return;
  value->AddRef();
  Reset();
  root_ = value;
}

bool JsonDocument::DetachRoot() {
  if (!root_ || !root_->Parent()) return false;
  root_->Detach();
  root_->Release();  // the container's reference; this handle keeps its own
  return true;
}

// ---- new values ----------------------------------------------------------------------------

JsonDocument JsonDocument::NewObject() const { return Adopting(JsonValue::CreateObject(HeapOf(root_))); }
JsonDocument JsonDocument::NewArray() const { return Adopting(JsonValue::CreateArray(HeapOf(root_))); }
JsonDocument JsonDocument::NewNull() const { return Adopting(JsonValue::CreateNull(HeapOf(root_))); }
JsonDocument JsonDocument::NewBoolean(bool value) const {
  return Adopting(JsonValue::CreateBoolean(HeapOf(root_), value));
}
JsonDocument JsonDocument::NewStringW(std::u16string_view text) const {
  return Adopting(JsonValue::CreateString(HeapOf(root_), Cut(text)));
}
JsonDocument JsonDocument::NewString(std::string_view text) const { return NewStringW(Wide(text)); }
JsonDocument JsonDocument::NewReal(double value) const {
  return Adopting(JsonValue::CreateReal(HeapOf(root_), value));
}
JsonDocument JsonDocument::NewInteger(int64_t value) const {
  return Adopting(JsonValue::CreateInteger(HeapOf(root_), value));
}

// ---- parsing and writing -------------------------------------------------------------------

// The text ends at its first zero unit; the scanner finds it on its way.
int JsonDocument::ParseInternal(std::u16string_view text, bool decode) {
  if (!root_) root_ = JsonValue::CreateObject(nullptr);
  lastParseResult_ =
      root_ ? ParseInto(root_, text.data() ? text.data() : u"", text.size(), decode, true)
            : kParseNoMemory;
  return lastParseResult_;
}

bool JsonDocument::ParseW(std::u16string_view text, bool decode) {
  return ParseInternal(text, decode) == 0;
}

bool JsonDocument::Parse(std::string_view text, bool decode) { return ParseW(Wide(text), decode); }

std::u16string JsonDocument::ToTextW(std::u16string_view path, bool pretty) {
  JsonValue* node = Resolve(path);
  if (!node) return {};
  try {
    TextBuilder out;
    WriteValue(node, out, pretty);
    return std::u16string(out.View());
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string JsonDocument::ToText(std::string_view path, bool pretty) {
  return Ansi(ToTextW(Wide(path), pretty));
}

// ---- structure -----------------------------------------------------------------------------

int JsonDocument::KindOfW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  return node ? node->Kind() : -1;
}
int JsonDocument::KindOf(std::string_view path) { return KindOfW(Wide(path)); }

JsonDocument JsonDocument::ParentOfW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  return Holding(node ? node->Parent() : nullptr);
}
JsonDocument JsonDocument::ParentOf(std::string_view path) { return ParentOfW(Wide(path)); }

int32_t JsonDocument::CountW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  return node ? node->ChildCount() : 0;
}
int32_t JsonDocument::Count(std::string_view path) { return CountW(Wide(path)); }

bool JsonDocument::RemoveMemberW(std::u16string_view path, std::u16string_view name) {
  return JsonValue::DropMember(Resolve(path), Cut(name));
}
bool JsonDocument::RemoveMember(std::string_view path, std::string_view name) {
  return RemoveMemberW(Wide(path), Wide(name));
}

bool JsonDocument::RemoveElementW(std::u16string_view path, int32_t index) {
  return JsonValue::DropElement(Resolve(path), index);
}
bool JsonDocument::RemoveElement(std::string_view path, int32_t index) {
  return RemoveElementW(Wide(path), index);
}

bool JsonDocument::ClearAtW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  if (!node) return false;
  node->ClearContent();
  return true;
}
bool JsonDocument::ClearAt(std::string_view path) { return ClearAtW(Wide(path)); }

bool JsonDocument::HasMemberW(std::u16string_view path, std::u16string_view name) {
  JsonValue* node = Resolve(path);
  return node && node->FindMember(Cut(name)) != nullptr;
}
bool JsonDocument::HasMember(std::string_view path, std::string_view name) {
  return HasMemberW(Wide(path), Wide(name));
}

bool JsonDocument::HasIndexW(std::u16string_view path, int32_t index) {
  JsonValue* node = Resolve(path);
  return node && node->List() && index >= 0 && index < node->ChildCount();
}
bool JsonDocument::HasIndex(std::string_view path, int32_t index) {
  return HasIndexW(Wide(path), index);
}

bool JsonDocument::ExistsW(std::u16string_view path) const { return PathExists(root_, Cut(path)); }
bool JsonDocument::Exists(std::string_view path) const { return ExistsW(Wide(path)); }

JsonDocument JsonDocument::NodeW(std::u16string_view path) { return Holding(Resolve(path)); }
JsonDocument JsonDocument::Node(std::string_view path) { return NodeW(Wide(path)); }

JsonDocument JsonDocument::MemberW(std::u16string_view path, std::u16string_view name) {
  return Holding(JsonValue::TakeMember(Resolve(path), Cut(name)));
}
JsonDocument JsonDocument::Member(std::string_view path, std::string_view name) {
  return MemberW(Wide(path), Wide(name));
}

JsonDocument JsonDocument::ElementW(std::u16string_view path, int32_t index) {
  return Holding(JsonValue::TakeElement(Resolve(path), index));
}
JsonDocument JsonDocument::Element(std::string_view path, int32_t index) {
  return ElementW(Wide(path), index);
}

JsonDocument JsonDocument::CopyOfW(std::u16string_view path) {
  return Adopting(JsonValue::DeepCopy(Resolve(path)));
}
JsonDocument JsonDocument::CopyOf(std::string_view path) { return CopyOfW(Wide(path)); }

// ---- editing with other handles ------------------------------------------------------------

// The other handle's root goes into node. A root that sits in a container is moved: it is
// taken out and the reference that container held becomes the new container's. A value is
// never put into itself or below itself.
bool JsonDocument::Insert(JsonValue* node, const JsonDocument& value, int kind,
                          std::u16string_view name, int32_t index) {
  JsonValue* v = value.root_;
  if (!node || !v || v == node || (v->ChildCount() > 0 && v->IsSelfOrAncestorOf(node))) return false;
  if (v->Parent()) {
    v->Detach();
  } else {
    v->AddRef();
  }
  bool ok = false;
  if (kind == kAsMember) ok = JsonValue::PutMember(node, name, v);
  if (kind == kAsAppended) ok = JsonValue::AppendChild(node, v);
  if (kind == kAsElement) ok = JsonValue::PutElement(node, index, v);
  if (!ok) v->Release();
  return ok;
}

bool JsonDocument::SetMemberW(std::u16string_view path, std::u16string_view name,
                              const JsonDocument& value) {
  return Insert(Resolve(path), value, kAsMember, Cut(name), 0);
}
bool JsonDocument::SetMember(std::string_view path, std::string_view name, const JsonDocument& value) {
  return SetMemberW(Wide(path), Wide(name), value);
}

bool JsonDocument::AppendW(std::u16string_view path, const JsonDocument& value) {
  return Insert(Resolve(path), value, kAsAppended, {}, 0);
}
bool JsonDocument::Append(std::string_view path, const JsonDocument& value) {
  return AppendW(Wide(path), value);
}

bool JsonDocument::SetElementW(std::u16string_view path, int32_t index, const JsonDocument& value) {
  return Insert(Resolve(path), value, kAsElement, {}, index);
}
bool JsonDocument::SetElement(std::string_view path, int32_t index, const JsonDocument& value) {
  return SetElementW(Wide(path), index, value);
}

// ---- setters -------------------------------------------------------------------------------

bool JsonDocument::SetStringW(std::u16string_view path, std::u16string_view text) {
  JsonValue* node = Resolve(path);
  return node && node->AssignString(Cut(text));
}
bool JsonDocument::SetString(std::string_view path, std::string_view text) {
  return SetStringW(Wide(path), Wide(text));
}

bool JsonDocument::SetNullW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  return node && node->AssignNull();
}
bool JsonDocument::SetNull(std::string_view path) { return SetNullW(Wide(path)); }

bool JsonDocument::SetBooleanW(std::u16string_view path, bool value) {
  JsonValue* node = Resolve(path);
  return node && node->AssignBoolean(value);
}
bool JsonDocument::SetBoolean(std::string_view path, bool value) {
  return SetBooleanW(Wide(path), value);
}

bool JsonDocument::SetRealW(std::u16string_view path, double value) {
  JsonValue* node = Resolve(path);
  return node && node->AssignReal(value);
}
bool JsonDocument::SetReal(std::string_view path, double value) { return SetRealW(Wide(path), value); }

bool JsonDocument::SetIntegerW(std::u16string_view path, int64_t value) {
  JsonValue* node = Resolve(path);
  return node && node->AssignInteger(value);
}
bool JsonDocument::SetInteger(std::string_view path, int64_t value) {
  return SetIntegerW(Wide(path), value);
}

// ---- getters -------------------------------------------------------------------------------

std::u16string JsonDocument::GetLiteralW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  if (!node) return {};
  switch (node->Kind()) {
    case kNull: return u"null";
    case kBoolean: return node->BooleanValue() ? u"true" : u"false";
    case kInteger:
    case kReal:
    case kRaw: return std::u16string(node->Literal());
    default: return {};
  }
}
std::string JsonDocument::GetLiteral(std::string_view path) { return Ansi(GetLiteralW(Wide(path))); }

std::u16string JsonDocument::GetStringW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  return node ? std::u16string(node->Text()) : std::u16string();
}
std::string JsonDocument::GetString(std::string_view path) { return Ansi(GetStringW(Wide(path))); }

bool JsonDocument::GetBooleanW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  return node && node->BooleanValue();
}
bool JsonDocument::GetBoolean(std::string_view path) { return GetBooleanW(Wide(path)); }

double JsonDocument::GetRealW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  if (!node) return 0;
  if (node->Kind() == kReal) return node->RealValue();
  if (node->Kind() == kInteger) return static_cast<double>(node->IntegerValue());
  return 0;
}
double JsonDocument::GetReal(std::string_view path) { return GetRealW(Wide(path)); }

// A Real is truncated toward zero; one beyond the 64-bit range saturates, NaN gives 0.
int64_t JsonDocument::GetIntegerW(std::u16string_view path) {
  JsonValue* node = Resolve(path);
  if (!node) return 0;
  if (node->Kind() == kInteger) return node->IntegerValue();
  if (node->Kind() != kReal) return 0;
  const double r = node->RealValue();
  if (std::isnan(r)) return 0;
  if (r >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (r < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}
int64_t JsonDocument::GetInteger(std::string_view path) { return GetIntegerW(Wide(path)); }

int32_t JsonDocument::MemberNamesW(std::u16string_view path, std::vector<std::u16string>& names) {
  JsonValue* node = Resolve(path);
  if (!node || !node->Table()) return 0;
  node->MemberNames(names);
  return static_cast<int32_t>(names.size());
}

int32_t JsonDocument::MemberNames(std::string_view path, std::vector<std::string>& names) {
  JsonValue* node = ResolveAnsi(path);
  if (!node || !node->Table()) return 0;
  std::vector<std::u16string> wide;
  node->MemberNames(wide);
  names.resize(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) names[i] = Ansi(wide[i]);
  return static_cast<int32_t>(names.size());
}

int32_t JsonDocument::ChildrenW(std::u16string_view path, std::vector<JsonDocument>& children) {
  JsonValue* node = Resolve(path);
  const int32_t n = node ? node->ChildCount() : 0;
  if (n == 0) return 0;
  children.clear();
  children.reserve(size_t(n));
  for (int32_t i = 0; i < n; ++i) children.push_back(Holding(node->ChildAt(i)));
  return n;
}

}  // namespace json
