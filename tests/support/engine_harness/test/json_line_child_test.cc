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

EventMatch Got(const std::string& line) {
  return [line](const json& e) {
    return IsEvent(e, "got") && e.value("line", "") == line;
  };
}

// Lines that are no JSON objects are no events; after a Mark, a wait is
// never met by an event from before it.
TEST(JsonLineChildTest, OnlyJsonObjectsAreEventsAndTheMarkHidesOldOnes) {
  JsonLineChild child({HARNESS_TEST_CHILD, "echo"});
  child.process().SendLine("one");
  ASSERT_FALSE(child.WaitFor(Got("one"), milliseconds(5000)).is_null());
  EXPECT_EQ(child.events().size(), 2u) << child.Transcript();
  EXPECT_EQ(child.IndexOf(Got("one")), 1);

  child.Mark();
  EXPECT_TRUE(child.Events("got").empty());
  EXPECT_TRUE(child.WaitForEvent("got", nullptr, milliseconds(200)).is_null());
  child.process().SendLine("two");
  EXPECT_EQ(child.WaitForEvent("got", nullptr, milliseconds(5000))["line"],
            "two");
  EXPECT_FALSE(child.WaitFrom(0, Got("one"), milliseconds(0)).is_null());
}

// A wait for an event that never comes, and a drain, last their bound:
// ending early would let a check that something did not happen pass before
// it could have.
TEST(JsonLineChildTest, WaitsLastTheirBound) {
  JsonLineChild child({HARNESS_TEST_CHILD, "echo"});
  Clock::time_point start = Clock::now();
  EXPECT_TRUE(
      child.WaitForEvent("never", nullptr, milliseconds(300)).is_null());
  EXPECT_GE(Clock::now() - start, milliseconds(290));
  EXPECT_LT(Clock::now() - start, milliseconds(2000));

  start = Clock::now();
  child.Drain(milliseconds(200));
  EXPECT_GE(Clock::now() - start, milliseconds(190));
}

// Each command gets its own answer, never the answer of an earlier one,
// even when that earlier one came late.
TEST(JsonLineChildTest, CommandAnswersAreTakenInOrder) {
  JsonLineChild child({HARNESS_TEST_CHILD, "echo"});
  EXPECT_EQ(child.Command("answer 1", Done(), milliseconds(5000))["n"], 1);
  // No answer: null within the time bound, and the answer cursor stays.
  EXPECT_TRUE(child.Command("plain", Done(), milliseconds(300)).is_null());
  EXPECT_EQ(child.Command("answer 2", Done(), milliseconds(5000))["n"], 2);
  // Answers already read are not taken twice.
  child.process().SendLine("answer 3");
  child.process().SendLine("answer 4");
  ASSERT_FALSE(child
                   .WaitForEvent(
                       "done",
                       [](const json& e) { return e.value("n", 0) == 4; },
                       milliseconds(5000))
                   .is_null());
  EXPECT_EQ(child.Command("answer 5", Done(), milliseconds(5000))["n"], 3);
  EXPECT_EQ(child.Command("answer 6", Done(), milliseconds(5000))["n"], 4);
}

}  // namespace
}  // namespace engine_test
