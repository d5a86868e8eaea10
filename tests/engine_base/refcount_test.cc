#include <atomic>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "include/cef_base.h"

namespace {

class Counted : public virtual CefBaseRefCounted {
 public:
  explicit Counted(int* destroyed) : destroyed_(destroyed) {}
  ~Counted() override { ++*destroyed_; }

 private:
  int* destroyed_;
  IMPLEMENT_REFCOUNTING(Counted);
};

// The object must live exactly as long as the last CefRefPtr, no shorter
// (use after free) and no longer (leak).
TEST(RefCountTest, ObjectDiesWithItsLastReference) {
  int destroyed = 0;
  CefRefPtr<Counted> a = new Counted(&destroyed);
  EXPECT_TRUE(a->HasOneRef());
  {
    CefRefPtr<Counted> b = a;
    EXPECT_FALSE(a->HasOneRef());
    EXPECT_TRUE(a->HasAtLeastOneRef());
    CefRefPtr<CefBaseRefCounted> base = b;
    EXPECT_EQ(base.get(), static_cast<CefBaseRefCounted*>(a.get()));
  }
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(a->HasOneRef());
  CefRefPtr<Counted> moved = std::move(a);
  EXPECT_FALSE(a);
  EXPECT_EQ(destroyed, 0);
  moved = nullptr;
  EXPECT_EQ(destroyed, 1);
}

TEST(RefCountTest, PointerOperationsKeepTheCountRight) {
  int destroyed = 0;
  CefRefPtr<Counted> a = new Counted(&destroyed);
  CefRefPtr<Counted> b = new Counted(&destroyed);
  Counted* a_raw = a.get();
  a.swap(b);
  EXPECT_EQ(b.get(), a_raw);
  a = b;  // the first of the two objects dies here
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(a == b);
  a = a;  // self-assignment keeps it alive
  EXPECT_EQ(destroyed, 1);

  // release() hands the reference to the caller.
  b = nullptr;
  Counted* owned = a.release();
  EXPECT_FALSE(a);
  // Release() is true only for the call that deletes.
  owned->AddRef();
  EXPECT_FALSE(owned->Release());
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(owned->Release());
  EXPECT_EQ(destroyed, 2);
}

// Engine objects are shared between threads; a non-atomic count loses
// updates and frees the object early or never.
TEST(RefCountTest, CountIsSafeAcrossThreads) {
  int destroyed = 0;
  CefRefPtr<Counted> shared = new Counted(&destroyed);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([shared] {
      for (int i = 0; i < 20000; ++i) {
        CefRefPtr<Counted> copy = shared;
        CefRefPtr<Counted> moved = std::move(copy);
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_TRUE(shared->HasOneRef());
  EXPECT_EQ(destroyed, 0);
  shared = nullptr;
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
