#include <cmath>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "include/cef_values.h"
#include "src/base/values_internal.h"

namespace {

// The production engine converts nothing: code that reads an int with
// GetDouble gets 0 there, so it must get 0 here too.
TEST(ValuesTest, TypedGettersDoNotConvert) {
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetInt(7);
  EXPECT_EQ(value->GetDouble(), 0.0);
  EXPECT_FALSE(value->GetBool());
  EXPECT_TRUE(value->GetString().empty());
  value->SetDouble(2.5);
  EXPECT_EQ(value->GetInt(), 0);

  CefRefPtr<CefDictionaryValue> dict = CefDictionaryValue::Create();
  dict->SetInt("i", 3);
  dict->SetDouble("d", 1.5);
  EXPECT_EQ(dict->GetDouble("i"), 0.0);
  EXPECT_EQ(dict->GetInt("d"), 0);
  EXPECT_EQ(dict->GetType("missing"), VTYPE_INVALID);
  EXPECT_EQ(dict->GetInt("missing"), 0);
  // JSON has no NaN; storing one yields 0.
  dict->SetDouble("nan", std::nan(""));
  EXPECT_EQ(dict->GetDouble("nan"), 0.0);
}

TEST(ValuesTest, NestedGettersReferIntoTheContainer) {
  CefRefPtr<CefDictionaryValue> root = CefDictionaryValue::Create();
  CefRefPtr<CefDictionaryValue> child = CefDictionaryValue::Create();
  child->SetString("name", "x");
  ASSERT_TRUE(root->SetDictionary("child", child));
  // A free-standing value is moved in; the old object no longer works.
  EXPECT_FALSE(child->IsValid());
  EXPECT_EQ(child->GetSize(), 0u);

  CefRefPtr<CefDictionaryValue> ref = root->GetDictionary("child");
  ASSERT_TRUE(ref);
  EXPECT_TRUE(ref->IsOwned());
  EXPECT_FALSE(root->IsOwned());
  EXPECT_EQ(ref->GetString("name").ToString(), "x");
  ref->SetInt("added", 1);
  EXPECT_EQ(root->GetDictionary("child")->GetInt("added"), 1);
  EXPECT_TRUE(ref->IsSame(root->GetDictionary("child")));

  // Storing an owned value stores a copy; the source stays usable.
  CefRefPtr<CefDictionaryValue> other = CefDictionaryValue::Create();
  ASSERT_TRUE(other->SetDictionary("copy", ref));
  EXPECT_TRUE(ref->IsValid());
  ref->SetInt("later", 2);
  EXPECT_FALSE(other->GetDictionary("copy")->HasKey("later"));
  EXPECT_FALSE(ref->IsSame(other->GetDictionary("copy")));
}

// References must not outlive their entry: using them afterwards would
// read stale data or write into nothing.
TEST(ValuesTest, ReferencesBecomeInvalidWhenTheirEntryGoes) {
  CefRefPtr<CefDictionaryValue> root = CefDictionaryValue::Create();
  root->SetDictionary("a", CefDictionaryValue::Create());
  root->SetList("b", CefListValue::Create());
  CefRefPtr<CefDictionaryValue> a = root->GetDictionary("a");
  CefRefPtr<CefListValue> b = root->GetList("b");
  a->SetDictionary("deep", CefDictionaryValue::Create());
  CefRefPtr<CefDictionaryValue> deep = a->GetDictionary("deep");

  root->SetInt("a", 5);  // replaces the dictionary
  EXPECT_FALSE(a->IsValid());
  EXPECT_FALSE(deep->IsValid());
  EXPECT_FALSE(a->SetInt("x", 1));
  EXPECT_TRUE(b->IsValid());
  EXPECT_TRUE(root->Remove("b"));
  EXPECT_FALSE(b->IsValid());
  EXPECT_FALSE(root->Remove("b"));

  root->SetDictionary("c", CefDictionaryValue::Create());
  CefRefPtr<CefDictionaryValue> c = root->GetDictionary("c");
  root = nullptr;  // the root takes its tree with it
  EXPECT_FALSE(c->IsValid());
}

TEST(ValuesTest, ATreeCannotBeStoredInsideItself) {
  CefRefPtr<CefDictionaryValue> root = CefDictionaryValue::Create();
  EXPECT_FALSE(root->SetDictionary("self", root));
  EXPECT_TRUE(root->IsValid());
  root->SetDictionary("child", CefDictionaryValue::Create());
  CefRefPtr<CefDictionaryValue> child = root->GetDictionary("child");
  EXPECT_FALSE(child->SetDictionary("loop", root));
  EXPECT_TRUE(root->IsValid());
  EXPECT_EQ(root->GetSize(), 1u);
  // Storing a copy of an ancestor is fine.
  EXPECT_TRUE(child->SetDictionary("snapshot", root->Copy(false)));
  EXPECT_TRUE(child->GetDictionary("snapshot")->HasKey("child"));
}

// IsEqual is the value codec test's oracle: an equality that missed a type
// or a nested change would let a codec that loses them pass.
TEST(ValuesTest, EqualityIsDeepAndTypeExact) {
  auto make = [](double d) {
    CefRefPtr<CefDictionaryValue> dict = CefDictionaryValue::Create();
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetString(0, "s");
    list->SetDouble(1, d);
    dict->SetList("list", list);
    dict->SetBool("flag", true);
    return dict;
  };
  EXPECT_TRUE(make(1.5)->IsEqual(make(1.5)));
  EXPECT_FALSE(make(1.5)->IsEqual(make(2.5)));

  CefRefPtr<CefValue> i = CefValue::Create();
  CefRefPtr<CefValue> d = CefValue::Create();
  i->SetInt(1);
  d->SetDouble(1.0);
  EXPECT_FALSE(i->IsEqual(d));
  EXPECT_TRUE(i->IsEqual(i->Copy()));
  EXPECT_FALSE(i->IsSame(i->Copy()));

  CefRefPtr<CefDictionaryValue> original = make(1.5);
  CefRefPtr<CefDictionaryValue> copy = original->Copy(false);
  EXPECT_TRUE(copy->IsEqual(original));
  EXPECT_FALSE(copy->IsOwned());
  copy->GetList("list")->SetInt(2, 9);
  EXPECT_FALSE(copy->IsEqual(original));
}

TEST(ValuesTest, KeysComeInOrderAndAreAppended) {
  CefRefPtr<CefDictionaryValue> dict = CefDictionaryValue::Create();
  dict->SetInt("b", 1);
  dict->SetInt("a", 2);
  dict->SetInt("c", 3);
  CefDictionaryValue::KeyList keys = {"existing"};
  ASSERT_TRUE(dict->GetKeys(keys));
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[1].ToString(), "a");
  EXPECT_EQ(keys[3].ToString(), "c");
}

TEST(ValuesTest, ListsGrowWithNullsAndShrinkFromTheEnd) {
  CefRefPtr<CefListValue> list = CefListValue::Create();
  ASSERT_TRUE(list->SetInt(2, 5));
  EXPECT_EQ(list->GetSize(), 3u);
  EXPECT_EQ(list->GetType(0), VTYPE_NULL);
  EXPECT_EQ(list->GetInt(2), 5);
  EXPECT_EQ(list->GetType(3), VTYPE_INVALID);
  EXPECT_EQ(list->GetValue(3), nullptr);

  list->SetList(0, CefListValue::Create());
  CefRefPtr<CefListValue> inner = list->GetList(0);
  EXPECT_TRUE(list->SetSize(5));
  EXPECT_EQ(list->GetType(4), VTYPE_NULL);
  EXPECT_TRUE(list->Remove(1));
  EXPECT_EQ(list->GetInt(1), 5);
  EXPECT_TRUE(inner->IsValid());  // earlier entries are untouched
  EXPECT_FALSE(list->Remove(10));
  EXPECT_TRUE(list->SetSize(0));
  EXPECT_FALSE(inner->IsValid());
}

TEST(ValuesTest, SetValueMakesTheValueReferToTheStoredEntry) {
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetDictionary(CefDictionaryValue::Create());
  CefRefPtr<CefListValue> list = CefListValue::Create();
  ASSERT_TRUE(list->SetValue(0, value));
  EXPECT_TRUE(value->IsValid());
  EXPECT_TRUE(value->IsOwned());
  value->GetDictionary()->SetString("k", "v");
  EXPECT_EQ(list->GetDictionary(0)->GetString("k").ToString(), "v");

  // Simple values are copied in both directions.
  CefRefPtr<CefValue> number = CefValue::Create();
  number->SetInt(1);
  list->SetValue(1, number);
  number->SetInt(2);
  EXPECT_EQ(list->GetInt(1), 1);
  CefRefPtr<CefValue> read = list->GetValue(1);
  read->SetInt(3);
  EXPECT_EQ(list->GetInt(1), 1);
  // A complex entry read as a value is a reference.
  CefRefPtr<CefValue> entry = list->GetValue(0);
  EXPECT_EQ(entry->GetType(), VTYPE_DICTIONARY);
  EXPECT_TRUE(entry->IsSame(value));
}

TEST(ValuesTest, ReadOnlyContainersRefuseChanges) {
  auto node = cef_base::NewNode(VTYPE_LIST);
  node->list_value.push_back(cef_base::NewInt(1));
  node->list_value.push_back(cef_base::NewNode(VTYPE_DICTIONARY));
  CefRefPtr<CefListValue> list =
      cef_base::CreateListFromNode(node, /*read_only=*/true);
  EXPECT_TRUE(list->IsReadOnly());
  EXPECT_FALSE(list->SetInt(0, 2));
  EXPECT_FALSE(list->Remove(0));
  EXPECT_FALSE(list->SetSize(0));
  EXPECT_EQ(list->GetInt(0), 1);
  CefRefPtr<CefDictionaryValue> inner = list->GetDictionary(1);
  EXPECT_TRUE(inner->IsReadOnly());
  EXPECT_FALSE(inner->SetInt("x", 1));
  // Storing a read-only list elsewhere copies it and leaves it intact.
  CefRefPtr<CefDictionaryValue> dict = CefDictionaryValue::Create();
  EXPECT_TRUE(dict->SetList("copy", list));
  EXPECT_TRUE(list->IsValid());
  EXPECT_FALSE(dict->GetList("copy")->IsReadOnly());
}

TEST(ValuesTest, ConcurrentWritersDoNotLoseEntries) {
  CefRefPtr<CefDictionaryValue> dict = CefDictionaryValue::Create();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([dict, t] {
      for (int i = 0; i < 500; ++i) {
        dict->SetInt(std::to_string(t) + "-" + std::to_string(i), i);
        dict->GetInt("0-0");
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(dict->GetSize(), 2000u);
}

}  // namespace
