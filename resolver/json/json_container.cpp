// Container operations of JsonValue: inserting, taking, dropping, detaching, copying.
#include "resolver/json/json_value.h"

namespace json {

bool JsonValue::IsSelfOrAncestorOf(const JsonValue* v) const {
  for (; v; v = v->parent_) {
    if (v == this) return true;
  }
  return false;
}

// A child that sits in a container already, or that would end up inside itself, is refused.
// Only a child with children of its own can hold the target, so the walk up from the target
// is needed only then.
static bool Insertable(const JsonValue* target, const JsonValue* child) {
  if (!target || !child || child->Parent() || child == target) return false;
  return child->ChildCount() == 0 || !child->IsSelfOrAncestorOf(target);
}

bool JsonValue::AppendFresh(JsonValue* child) {
  if (!ToArray() || !payload_.list->Append(child)) return false;
  child->parent_ = this;
  return true;
}

bool JsonValue::PutFresh(std::u16string_view key, JsonValue* child) {
  if (!ToObject()) return false;
  JsonValue* replaced = nullptr;
  if (!payload_.table->Put(key, child, &replaced)) return false;
  child->parent_ = this;
  if (replaced) {
    replaced->parent_ = nullptr;
    replaced->Release();
  }
  return true;
}

bool JsonValue::AppendChild(JsonValue* target, JsonValue* child) {
  return Insertable(target, child) && target->AppendFresh(child);
}

bool JsonValue::PutMember(JsonValue* target, std::u16string_view key, JsonValue* child) {
  return Insertable(target, child) && target->PutFresh(key, child);
}

bool JsonValue::PutElement(JsonValue* target, int32_t index, JsonValue* child) {
  if (!Insertable(target, child) || index < 0 || !target->ToArray()) return false;
  ValueList& list = *target->payload_.list;
  if (index < list.Count()) {
    JsonValue* old = list.At(index);
    list.Set(index, child);
    child->parent_ = target;
    old->parent_ = nullptr;
    old->Release();
    return true;
  }
  while (list.Count() < index) {
    JsonValue* pad = CreateNull(target->heap_);
    if (!pad) return false;
    if (!target->AppendFresh(pad)) {
      pad->Release();
      return false;
    }
  }
  return target->AppendFresh(child);
}

JsonValue* JsonValue::TakeMember(JsonValue* target, std::u16string_view key) {
  if (!target || !target->ToObject()) return nullptr;
  if (JsonValue* found = target->payload_.table->Find(key)) return found;
  JsonValue* made = CreateNull(target->heap_);
  if (!made) return nullptr;
  if (!target->PutFresh(key, made)) {
    made->Release();
    return nullptr;
  }
  return made;
}

JsonValue* JsonValue::TakeElement(JsonValue* target, int32_t index) {
  if (!target || index < 0 || !target->ToArray()) return nullptr;
  ValueList& list = *target->payload_.list;
  while (list.Count() <= index) {
    JsonValue* pad = CreateNull(target->heap_);
    if (!pad) return nullptr;
    if (!target->AppendFresh(pad)) {
      pad->Release();
      return nullptr;
    }
  }
  return list.At(index);
}

bool JsonValue::DropMember(JsonValue* object, std::u16string_view key) {
  MemberTable* table = object ? object->Table() : nullptr;
  JsonValue* member = table ? table->Find(key) : nullptr;
  if (!member) return false;
  table->Unlink(member);
  member->parent_ = nullptr;
  member->Release();
  return true;
}

bool JsonValue::DropElement(JsonValue* array, int32_t index) {
  ValueList* list = array ? array->List() : nullptr;
  if (!list || index < 0 || index >= list->Count()) return false;
  JsonValue* element = list->At(index);
  list->RemoveAt(index);
  element->parent_ = nullptr;
  element->Release();
  return true;
}

void JsonValue::Detach() {
  if (!parent_) return;
  if (ValueList* list = parent_->List()) list->Remove(this);
  if (MemberTable* table = parent_->Table()) table->Unlink(this);
  parent_ = nullptr;
}

int32_t JsonValue::ChildCount() const {
  if (ValueList* list = List()) return list->Count();
  if (MemberTable* table = Table()) return table->MemberCount();
  return 0;
}

JsonValue* JsonValue::ChildAt(int32_t i) const {
  const ValueList* list = List();
  if (MemberTable* table = Table()) list = &table->Order();
  return (list && i >= 0 && i < list->Count()) ? list->At(i) : nullptr;
}

JsonValue* JsonValue::FindMember(std::u16string_view key) const {
  MemberTable* table = Table();
  return table ? table->Find(key) : nullptr;
}

void JsonValue::MemberNames(std::vector<std::u16string>& names) const {
  MemberTable* table = Table();
  if (!table) return;
  const ValueList& order = table->Order();
  names.resize(size_t(order.Count()));
  for (int32_t i = 0; i < order.Count(); ++i) names[size_t(i)] = std::u16string(order.At(i)->Key());
}

void JsonValue::Children(std::vector<JsonValue*>& children) const {
  const int32_t n = ChildCount();
  children.resize(size_t(n));
  for (int32_t i = 0; i < n; ++i) children[size_t(i)] = ChildAt(i);
}

// ---- deep copy -----------------------------------------------------------------------------

// The value itself without its children; numbers get literals made from their payload.
static JsonValue* CopyShallow(const JsonValue* v) {
  JsonHeap* heap = v->Heap();
  switch (v->Kind()) {
    case kNull: return JsonValue::CreateNull(heap);
    case kRaw: return JsonValue::CreateRaw(heap, v->Literal());
    case kBoolean: return JsonValue::CreateBoolean(heap, v->BooleanValue());
    case kReal: return JsonValue::CreateReal(heap, v->RealValue());
    case kInteger: return JsonValue::CreateInteger(heap, v->IntegerValue());
    case kString: return JsonValue::CreateString(heap, v->Text());
    case kArray: return JsonValue::CreateArray(heap);
    case kObject: return JsonValue::CreateObject(heap);
  }
  return nullptr;
}

// Two parallel stacks of open containers (source, copy); the copy's child count tells
// which source child comes next.
JsonValue* JsonValue::DeepCopy(const JsonValue* v) {
  if (!v) return nullptr;
  JsonValue* root = CopyShallow(v);
  if (!root || v->ChildCount() == 0) return root;
  ValueList* sources = ValueList::Make(ProcessHeap());
  ValueList* copies = ValueList::Make(ProcessHeap());
  bool ok = sources && copies && sources->Append(const_cast<JsonValue*>(v)) && copies->Append(root);
  while (ok && copies->Count() > 0) {
    const JsonValue* s = sources->At(sources->Count() - 1);
    JsonValue* d = copies->At(copies->Count() - 1);
    const int32_t next = d->ChildCount();
    if (next >= s->ChildCount()) {
      sources->RemoveAt(sources->Count() - 1);
      copies->RemoveAt(copies->Count() - 1);
      continue;
    }
    const JsonValue* child = s->ChildAt(next);
    JsonValue* copy = CopyShallow(child);
    ok = copy && (d->Kind() == kArray ? d->AppendFresh(copy) : d->PutFresh(child->Key(), copy));
    if (!ok) {
      if (copy) copy->Release();
      break;
    }
    if (child->ChildCount() > 0) {
      ok = sources->Append(const_cast<JsonValue*>(child)) && copies->Append(copy);
    }
  }
  ValueList::Free(sources);
  ValueList::Free(copies);
  if (!ok) {
    root->Release();
    return nullptr;
  }
  return root;
}

}  // namespace json
