// Event queries over a real child's output: what counts as an event, the
// mark, time bounds, and that command answers are matched in order.

#include "tests/support/engine_harness/json_line_child.h"

#include <gtest/gtest.h>

namespace engine_test {
namespace {

using Clock = std::chrono::steady_clock;

EventMatch Done() {
  return [](const json& event) { return IsEvent(event, "done"); };
}

TEST(JsonLineChildTest, OnlyJsonObjectsAreEventsAndTheMarkHidesOldOnes) {
  JsonLineChild child({HARNESS_TEST_CHILD, "echo"});
  ASSERT_FALSE(
      child.WaitForEvent("ready", nullptr, milliseconds(5000)).is_null());
  child.process().SendLine("one");
  child.process().SendLine("two");
  const json two = child.WaitForEvent(
      "got", [](const json& e) { return e.value("line", "") == "two"; },
      milliseconds(5000));
  ASSERT_FALSE(two.is_null());
  // The diagnostics line and the JSON array are no events.
  ASSERT_EQ(child.events().size(), 3u) << child.Transcript();
  EXPECT_EQ(child.Events("got").size(), 2u);
  EXPECT_EQ(
      child.IndexOf([](const json& e) { return e.value("line", "") == "two"; }),
      2);
  EXPECT_EQ(
      child.IndexOf([](const json& e) { return e.value("line", "") == "six"; }),
      -1);
  EXPECT_EQ(child.Transcript(),
            "{\"event\":\"ready\"}\n{\"event\":\"got\",\"line\":\"one\"}\n"
            "{\"event\":\"got\",\"line\":\"two\"}\n");

  child.Mark();
  EXPECT_TRUE(child.Events("got").empty());
  // An event from before the mark is not found again...
  EXPECT_TRUE(child.WaitForEvent("got", nullptr, milliseconds(200)).is_null());
  // ...but one from after it is, and WaitFrom still sees the old ones.
  child.process().SendLine("three");
  EXPECT_EQ(child.WaitForEvent("got", nullptr, milliseconds(5000))["line"],
            "three");
  EXPECT_EQ(child.WaitFrom(
                0, [](const json& e) { return IsEvent(e, "got"); },
                milliseconds(0))["line"],
            "one");
}

TEST(JsonLineChildTest, WaitsEndOnTimeAndWhenTheOutputEnds) {
  JsonLineChild child({HARNESS_TEST_CHILD, "echo"});
  ASSERT_FALSE(
      child.WaitForEvent("ready", nullptr, milliseconds(5000)).is_null());
  Clock::time_point start = Clock::now();
  EXPECT_TRUE(
      child.WaitForEvent("never", nullptr, milliseconds(300)).is_null());
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, milliseconds(290));
  EXPECT_LT(waited, milliseconds(2000));

  start = Clock::now();
  child.Drain(milliseconds(200));
  EXPECT_GE(Clock::now() - start, milliseconds(190));

  // Once the child is gone, waiting ends at once instead of at the
  // deadline.
  child.process().CloseStdin();
  EXPECT_FALSE(
      child.WaitForEvent("last", nullptr, milliseconds(5000)).is_null());
  start = Clock::now();
  EXPECT_FALSE(child.ReadUntil([] { return false; }, milliseconds(5000)));
  EXPECT_TRUE(
      child.WaitForEvent("never", nullptr, milliseconds(5000)).is_null());
  EXPECT_LT(Clock::now() - start, milliseconds(1000));
  EXPECT_TRUE(child.process().output_ended());
}

// Each command gets its own answer, never the answer of an earlier one,
// even when that earlier one came late.
TEST(JsonLineChildTest, CommandAnswersAreTakenInOrder) {
  JsonLineChild child({HARNESS_TEST_CHILD, "echo"});
  EXPECT_EQ(child.Command("answer 1", Done(), milliseconds(5000))["n"], 1);
  EXPECT_EQ(child.Command("answer 2", Done(), milliseconds(5000))["n"], 2);
  // No answer: null within the time bound, and the answer cursor stays.
  EXPECT_TRUE(child.Command("plain", Done(), milliseconds(300)).is_null());
  EXPECT_EQ(child.Command("answer 3", Done(), milliseconds(5000))["n"], 3);
  // Answers already read are not taken twice.
  child.process().SendLine("answer 4");
  child.process().SendLine("answer 5");
  ASSERT_FALSE(child
                   .WaitForEvent(
                       "done",
                       [](const json& e) { return e.value("n", 0) == 5; },
                       milliseconds(5000))
                   .is_null());
  EXPECT_EQ(child.Command("answer 6", Done(), milliseconds(5000))["n"], 4);
  EXPECT_EQ(child.Command("answer 7", Done(), milliseconds(5000))["n"], 5);

  child.process().CloseStdin();
  EXPECT_TRUE(child.process().WaitForExit(milliseconds(5000)));
  EXPECT_TRUE(child.Command("answer 8", Done(), milliseconds(5000)).is_null());
}

}  // namespace
}  // namespace engine_test
