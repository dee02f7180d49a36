// The value model: member hashing and table growth, list growth, container operations,
// reference counts and the parent links of values that outlive their container.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resolver/json/json_document.h"
#include "resolver/json/json_serializer.h"
#include "resolver/json/json_value.h"
#include "test_heap.h"

namespace json {
namespace {

std::u16string Text(const JsonValue* v) {
  TextBuilder out;
  WriteValue(v, out, false);
  return std::u16string(out.View());
}

TEST(MemberHash, MatchesTheServiceTableHashIncludingTheZeroUnit) {
  struct Row { std::u16string key; int32_t hash; };
  const Row rows[] = {
      {u"a", 3007},
      {u"", 0},
      {u"ab", (97 * 31 + 98) * 31},
      {u"errno", -1294636326},  // 31 x 96784870 (mod 2^32), read as signed
      {u"\u6587", 0x6587 * 31},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.key.begin(), r.key.end()));
    EXPECT_EQ(MemberHash(r.key), r.hash);
  }
}

TEST(MemberTable, NinthKeyRehashesTo23BucketsAndOrderStays) {
  JsonValue* obj = JsonValue::CreateObject(nullptr);
  std::vector<std::u16string> keys;
  for (int i = 0; i < 9; ++i) {
    keys.push_back(u"k" + std::u16string(1, char16_t(u'a' + i)));
    EXPECT_EQ(obj->Table()->BucketCount(), 11) << i;
    ASSERT_TRUE(JsonValue::PutMember(obj, keys.back(), JsonValue::CreateInteger(nullptr, i)));
  }
  EXPECT_EQ(obj->Table()->BucketCount(), 23);
  EXPECT_EQ(obj->Table()->Threshold(), 17);
  std::vector<std::u16string> names;
  obj->MemberNames(names);
  EXPECT_EQ(names, keys);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(obj->FindMember(keys[size_t(i)])->IntegerValue(), i);
  obj->Release();
}

TEST(MemberTable, GrowsTo2nPlus1BucketsWithEveryMemberFoundAfterward) {
  JsonValue* obj = JsonValue::CreateObject(nullptr);
  std::vector<int32_t> seen;
  for (int i = 0; i < 200; ++i) {
    JsonValue::PutMember(obj, u"m" + std::u16string(1, char16_t(0x4E00 + i)), JsonValue::CreateInteger(nullptr, i));
    const int32_t b = obj->Table()->BucketCount();
    if (seen.empty() || seen.back() != b) seen.push_back(b);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{11, 23, 47, 95, 191, 383}));
  for (int i = 0; i < 200; ++i) {
    const JsonValue* m = obj->FindMember(u"m" + std::u16string(1, char16_t(0x4E00 + i)));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->IntegerValue(), i);
    EXPECT_EQ(obj->ChildAt(i), m);
  }
  obj->Release();
}

TEST(MemberTable, ReplacingAMemberKeepsItsFirstPositionAndReleasesTheOldValue) {
  JsonValue* obj = JsonValue::CreateObject(nullptr);
  JsonValue* first = JsonValue::CreateInteger(nullptr, 1);
  first->AddRef();  // held here too, to see the table let go of it
  JsonValue::PutMember(obj, u"a", first);
  JsonValue::PutMember(obj, u"b", JsonValue::CreateInteger(nullptr, 2));
  JsonValue::PutMember(obj, u"a", JsonValue::CreateInteger(nullptr, 3));
  EXPECT_EQ(Text(obj), u"{\"a\":3,\"b\":2}");
  EXPECT_EQ(obj->ChildCount(), 2);
  EXPECT_EQ(first->RefCount(), 1);
  EXPECT_EQ(first->Parent(), nullptr);
  first->Release();
  obj->Release();
}

TEST(ValueList, GrowsFrom8To17To35) {
  JsonValue* arr = JsonValue::CreateArray(nullptr);
  std::vector<int32_t> capacities{arr->List()->Capacity()};
  for (int i = 0; i < 36; ++i) {
    JsonValue::AppendChild(arr, JsonValue::CreateNull(nullptr));
    if (arr->List()->Capacity() != capacities.back()) capacities.push_back(arr->List()->Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{8, 17, 35, 71}));
  arr->Release();
}

TEST(ValueList, InsertsAndRemovesOnlyAtValidIndexes) {
  ValueList* list = ValueList::Make(ProcessHeap());
  JsonValue* a = reinterpret_cast<JsonValue*>(0x10);
  JsonValue* b = reinterpret_cast<JsonValue*>(0x20);
  EXPECT_FALSE(list->Insert(1, a));
  EXPECT_FALSE(list->Insert(-1, a));
  EXPECT_TRUE(list->Insert(0, a));
  EXPECT_TRUE(list->Insert(0, b));
  EXPECT_EQ(list->At(0), b);
  EXPECT_EQ(list->At(1), a);
  EXPECT_FALSE(list->RemoveAt(2));
  EXPECT_TRUE(list->RemoveAt(0));
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Items()[1], nullptr);  // the vacated slot is zeroed
  ValueList::Free(list);
}

TEST(Containers, TakeElementPadsWithNullsAndNegativeCreatesNothing) {
  JsonValue* arr = JsonValue::CreateArray(nullptr);
  EXPECT_EQ(JsonValue::TakeElement(arr, -1), nullptr);
  EXPECT_EQ(arr->ChildCount(), 0);
  JsonValue* sixth = JsonValue::TakeElement(arr, 5);
  ASSERT_NE(sixth, nullptr);
  EXPECT_EQ(arr->ChildCount(), 6);
  EXPECT_EQ(arr->ChildAt(5), sixth);
  EXPECT_EQ(Text(arr), u"[null,null,null,null,null,null]");
  EXPECT_EQ(sixth->RefCount(), 1);  // the list holds the only reference
  arr->Release();
}

TEST(Containers, ConversionReleasesEarlierContent) {
  JsonValue* arr = JsonValue::CreateArray(nullptr);
  JsonValue* kept = JsonValue::CreateString(nullptr, u"x");
  kept->AddRef();
  JsonValue::AppendChild(arr, kept);
  JsonValue::AppendChild(arr, JsonValue::CreateNull(nullptr));
  JsonValue::AppendChild(arr, JsonValue::CreateNull(nullptr));
  ASSERT_TRUE(arr->ToObject());
  EXPECT_EQ(arr->Kind(), kObject);
  EXPECT_EQ(arr->ChildCount(), 0);
  EXPECT_EQ(kept->RefCount(), 1);
  EXPECT_EQ(kept->Parent(), nullptr);
  kept->Release();
  arr->Release();
}

TEST(Containers, DropDoesNotConvertAnotherKind) {
  JsonValue* arr = JsonValue::CreateArray(nullptr);
  JsonValue::AppendChild(arr, JsonValue::CreateInteger(nullptr, 1));
  EXPECT_FALSE(JsonValue::DropMember(arr, u"a"));
  EXPECT_EQ(arr->Kind(), kArray);
  EXPECT_EQ(arr->ChildCount(), 1);
  EXPECT_FALSE(JsonValue::DropElement(arr, 1));
  EXPECT_TRUE(JsonValue::DropElement(arr, 0));
  EXPECT_EQ(arr->ChildCount(), 0);
  arr->Release();
}

TEST(Containers, PutElementReplacesOrPadsAndRefusesNegative) {
  JsonValue* arr = JsonValue::CreateArray(nullptr);
  EXPECT_TRUE(JsonValue::PutElement(arr, 2, JsonValue::CreateInteger(nullptr, 7)));
  EXPECT_EQ(Text(arr), u"[null,null,7]");
  EXPECT_TRUE(JsonValue::PutElement(arr, 0, JsonValue::CreateInteger(nullptr, 1)));
  EXPECT_EQ(Text(arr), u"[1,null,7]");
  JsonValue* refused = JsonValue::CreateNull(nullptr);
  EXPECT_FALSE(JsonValue::PutElement(arr, -1, refused));
  refused->Release();
  arr->Release();
}

TEST(Containers, RefuseAChildWithAParentAndAValueInsideItself) {
  JsonValue* a = JsonValue::CreateObject(nullptr);
  JsonValue* b = JsonValue::CreateArray(nullptr);
  ASSERT_TRUE(JsonValue::PutMember(a, u"b", b));
  EXPECT_FALSE(JsonValue::AppendChild(b, a));        // a cycle
  EXPECT_FALSE(JsonValue::PutMember(a, u"self", a));  // itself
  JsonValue* other = JsonValue::CreateArray(nullptr);
  EXPECT_FALSE(JsonValue::AppendChild(other, b));    // b sits in a already
  b->Detach();
  EXPECT_EQ(a->ChildCount(), 0);
  EXPECT_TRUE(JsonValue::AppendChild(other, b));     // b's reference moves to other
  EXPECT_EQ(b->Parent(), other);
  other->Release();
  a->Release();
}

TEST(Containers, DetachFromObjectFreesTheKeyAndKeepsTheCount) {
  JsonValue* obj = JsonValue::CreateObject(nullptr);
  JsonValue* m = JsonValue::TakeMember(obj, u"m");
  JsonValue::TakeMember(obj, u"n");
  m->Detach();
  EXPECT_EQ(m->RefCount(), 1);
  EXPECT_EQ(m->Parent(), nullptr);
  EXPECT_EQ(m->Key(), u"");
  EXPECT_EQ(obj->FindMember(u"m"), nullptr);
  EXPECT_EQ(Text(obj), u"{\"n\":null}");
  m->Release();
  obj->Release();
}

TEST(DeepCopy, CopiesKindsAndRenewsNumberLiterals) {
  JsonDocument doc;
  ASSERT_TRUE(doc.ParseW(u"{'n':1.50,'i':007,'r':abc,'s':'x','a':[1,{'b':null}],'t':true}"));
  JsonValue* copy = JsonValue::DeepCopy(doc.GetRoot());
  EXPECT_EQ(copy->RefCount(), 1);
  EXPECT_EQ(copy->Parent(), nullptr);
  EXPECT_EQ(Text(copy), Text(doc.GetRoot()));
  EXPECT_EQ(doc.GetLiteralW(u"n"), u"1.50");
  EXPECT_EQ(copy->FindMember(u"n")->Literal(), u"1.5");
  EXPECT_EQ(copy->FindMember(u"i")->Literal(), u"7");
  EXPECT_EQ(copy->FindMember(u"r")->Literal(), u"abc");
  EXPECT_NE(copy->FindMember(u"a"), doc.GetRoot()->FindMember(u"a"));
  copy->Release();
}

// A value that outlives its container never reaches back into it.
TEST(Lifetime, AChildHeldElsewhereSurvivesItsContainer) {
  JsonValue* obj = JsonValue::CreateObject(nullptr);
  JsonValue* child = JsonValue::TakeMember(obj, u"c");
  JsonValue::TakeMember(child, u"grandchild");
  child->AddRef();
  obj->Release();  // frees the table that held child
  EXPECT_EQ(child->Parent(), nullptr);
  EXPECT_EQ(child->RefCount(), 1);
  child->Detach();  // nothing to leave
  EXPECT_EQ(Text(child), u"{\"grandchild\":null}");
  child->Release();
}

TEST(Lifetime, ClearContentLetsGoOfChildrenHeldElsewhere) {
  JsonValue* arr = JsonValue::CreateArray(nullptr);
  JsonValue* held = JsonValue::CreateObject(nullptr);
  held->AddRef();
  JsonValue::AppendChild(arr, held);
  arr->ClearContent();
  EXPECT_EQ(arr->ChildCount(), 0);
  EXPECT_EQ(held->Parent(), nullptr);
  arr->Release();
  held->Release();
}

TEST(Lifetime, DeepTreesAreFreedAndCopiedWithoutRecursion) {
  JsonValue* root = JsonValue::CreateArray(nullptr);
  JsonValue* v = root;
  for (int i = 0; i < 200000; ++i) {
    JsonValue* next = (i % 2) ? JsonValue::CreateArray(nullptr) : JsonValue::CreateObject(nullptr);
    ASSERT_TRUE(v->Kind() == kArray ? JsonValue::AppendChild(v, next) : JsonValue::PutMember(v, u"k", next));
    v = next;
  }
  JsonValue* copy = JsonValue::DeepCopy(root);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Text(copy).size(), Text(root).size());
  copy->Release();
  root->Release();
}

TEST(Heap, ChildrenComeFromTheOwnersHeapAndAllGoBack) {
  json_test::TestHeap heap;
  {
    JsonDocument doc;
    doc.SetRoot(JsonValue::CreateObject(&heap));
    doc.GetRoot()->Release();  // the handle's reference is the only one
    ASSERT_TRUE(doc.ParseW(u"{'a':[1,2.5,'x',{'b':null}],'c':true}"));
    EXPECT_GT(heap.Live(), 10);
    JsonDocument made = doc.NewString(u8"x");
    EXPECT_EQ(made.GetRoot()->Heap(), &heap);
    JsonDocument copy = doc.CopyOf("a");
    EXPECT_EQ(copy.GetRoot()->Heap(), &heap);
  }
  EXPECT_EQ(heap.Live(), 0);
}

TEST(Heap, EveryConstructorAnswersNoneWhenMemoryRunsOut) {
  using Make = JsonValue* (*)(JsonHeap*);
  const Make makers[] = {
      [](JsonHeap* h) { return JsonValue::CreateNull(h); },
      [](JsonHeap* h) { return JsonValue::CreateBoolean(h, true); },
      [](JsonHeap* h) { return JsonValue::CreateReal(h, 1.5); },
      [](JsonHeap* h) { return JsonValue::CreateInteger(h, 7); },
      [](JsonHeap* h) { return JsonValue::CreateString(h, u"s"); },
      [](JsonHeap* h) { return JsonValue::CreateRaw(h, u"r"); },
      [](JsonHeap* h) { return JsonValue::CreateArray(h); },
      [](JsonHeap* h) { return JsonValue::CreateObject(h); },
  };
  for (size_t m = 0; m < std::size(makers); ++m) {
    for (long failAt = 0;; ++failAt) {
      json_test::TestHeap heap(failAt);
      JsonValue* v = makers[m](&heap);
      if (v) {
        v->Release();
        EXPECT_EQ(heap.Live(), 0);
        break;
      }
      EXPECT_EQ(heap.Live(), 0) << "maker " << m << " failing allocation " << failAt;
    }
  }
}

TEST(Literals, MadeNumbersUseThirteenDigitsAndDecimal) {
  struct Row { double real; std::u16string literal; };
  const Row reals[] = {
      {0.1, u"0.1"}, {2.0, u"2"}, {1.0 / 3, u"0.3333333333333"}, {1e20, u"1e+20"},
      {-1.5e-7, u"-1.5e-07"}, {1e300 * 10, u"1e+301"}, {123456789012345.0, u"1.234567890123e+14"},
  };
  for (const Row& r : reals) {
    JsonValue* v = JsonValue::CreateReal(nullptr, r.real);
    EXPECT_EQ(v->Literal(), r.literal);
    v->Release();
  }
  JsonValue* i = JsonValue::CreateInteger(nullptr, INT64_MIN);
  EXPECT_EQ(i->Literal(), u"-9223372036854775808");
  i->Release();
}

}  // namespace
}  // namespace json

namespace json {
namespace {

// Keys made of "Aa" and "BB" all share one MemberHash: the table moves to its index and keeps
// every rule (replacement in place, removal, order, copies).
std::u16string CollidingKey(int i, int pairs) {
  std::u16string key;
  for (int b = 0; b < pairs; ++b) key += (i >> b & 1) ? u"BB" : u"Aa";
  return key;
}

TEST(MemberTable, KeysThatAllHashAlikeStayFastAndCorrect) {
  constexpr int kKeys = 256;
  JsonValue* obj = JsonValue::CreateObject(nullptr);
  for (int i = 0; i < kKeys; ++i) {
    EXPECT_EQ(MemberHash(CollidingKey(i, 8)), MemberHash(CollidingKey(0, 8)));
    ASSERT_TRUE(JsonValue::PutMember(obj, CollidingKey(i, 8), JsonValue::CreateInteger(nullptr, i)));
  }
  EXPECT_TRUE(obj->Table()->Indexed());
  EXPECT_EQ(obj->ChildCount(), kKeys);
  ASSERT_TRUE(JsonValue::PutMember(obj, CollidingKey(3, 8), JsonValue::CreateInteger(nullptr, -3)));
  EXPECT_TRUE(JsonValue::DropMember(obj, CollidingKey(100, 8)));
  EXPECT_FALSE(JsonValue::DropMember(obj, CollidingKey(100, 8)));
  JsonValue* moved = JsonValue::TakeMember(obj, CollidingKey(200, 8));
  moved->Detach();  // the reference the table held is now the caller's
  EXPECT_EQ(moved->Key(), u"");
  EXPECT_EQ(moved->Parent(), nullptr);
  moved->Release();
  ASSERT_TRUE(JsonValue::PutMember(obj, CollidingKey(100, 8), JsonValue::CreateInteger(nullptr, 100)));
  EXPECT_EQ(obj->ChildCount(), kKeys - 1);
  for (int i = 0; i < kKeys; ++i) {
    const JsonValue* m = obj->FindMember(CollidingKey(i, 8));
    if (i == 200) {
      EXPECT_EQ(m, nullptr);
      continue;
    }
    ASSERT_NE(m, nullptr) << i;
    EXPECT_EQ(m->IntegerValue(), i == 3 ? -3 : i);
  }
  EXPECT_EQ(obj->ChildAt(3)->IntegerValue(), -3);           // replaced in place
  EXPECT_EQ(obj->ChildAt(kKeys - 2)->IntegerValue(), 100);  // dropped, then added at the end
  JsonValue* copy = JsonValue::DeepCopy(obj);
  EXPECT_EQ(Text(copy), Text(obj));
  copy->Release();
  obj->ClearContent();
  EXPECT_FALSE(obj->Table()->Indexed());
  ASSERT_TRUE(JsonValue::PutMember(obj, u"a", JsonValue::CreateNull(nullptr)));
  EXPECT_EQ(Text(obj), u"{\"a\":null}");
  obj->Release();
}

}  // namespace
}  // namespace json
