// In-process tests of the engine's plumbing: the value codec against hostile
// input, the framed channel over a real socket pair, the IO-thread queue and
// the process singleton on real directories and sockets.

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "browser/process/process_singleton.h"
#include "common/channel.h"
#include "common/channel_message.h"
#include "common/task_queue.h"
#include "common/value_codec.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

namespace cefengine {
namespace {

using Clock = std::chrono::steady_clock;

using engine_test::TempDir;

CefRefPtr<CefListValue> AllTypes() {
  CefRefPtr<CefListValue> list = CefListValue::Create();
  list->SetNull(0);
  list->SetBool(1, true);
  list->SetInt(2, -2147483647 - 1);
  list->SetDouble(3, 12.0);
  list->SetString(4, "\xF0\x9F\x98\x80 snow \xE2\x98\x83");
  const char bytes[] = {'\0', '\x7f', '\x80', '\xff'};
  list->SetBinary(5, CefBinaryValue::Create(bytes, sizeof(bytes)));
  CefRefPtr<CefDictionaryValue> dict = CefDictionaryValue::Create();
  dict->SetInt("int", 3);
  dict->SetString("", "empty key");
  dict->SetList("empty", CefListValue::Create());
  dict->SetDictionary("nested", CefDictionaryValue::Create());
  list->SetDictionary(6, dict);
  return list;
}

ChannelMessage Sample() {
  ChannelMessage message;
  message.type = MessageType::kRequest;
  message.browser_id = 7;
  message.frame_id = "frame";
  message.request_id = 0xfedcba9876543210ull;
  message.name = "name";
  message.args = AllTypes();
  return message;
}

// Every type survives a round trip with its type: an integral double stays a
// double; empty keys and containers survive.
TEST(ValueCodecTest, RoundTripKeepsTypesAndValues) {
  std::string data;
  EncodeMessage(Sample(), &data);
  ChannelMessage decoded;
  ASSERT_TRUE(DecodeMessage(data, &decoded));
  EXPECT_EQ(decoded.type, MessageType::kRequest);
  EXPECT_EQ(decoded.browser_id, 7);
  EXPECT_EQ(decoded.frame_id, "frame");
  EXPECT_EQ(decoded.request_id, 0xfedcba9876543210ull);
  EXPECT_EQ(decoded.name, "name");
  EXPECT_TRUE(decoded.args->IsEqual(AllTypes()));
  EXPECT_EQ(decoded.args->GetType(3), VTYPE_DOUBLE);

  ChannelMessage empty;
  EncodeMessage(empty, &data);
  ASSERT_TRUE(DecodeMessage(data, &decoded));
  ASSERT_TRUE(decoded.args);
  EXPECT_EQ(decoded.args->GetSize(), 0u);
}

// Damaged or hostile input is refused without crashing or allocating what a
// forged count asks for.
TEST(ValueCodecTest, RefusesMalformedInput) {
  std::string data;
  EncodeMessage(Sample(), &data);
  ChannelMessage decoded;
  for (size_t size = 0; size < data.size(); ++size)
    EXPECT_FALSE(DecodeMessage(data.substr(0, size), &decoded)) << size;
  EXPECT_FALSE(DecodeMessage(data + "x", &decoded));
  std::string other_version = data;
  other_version[0] = 2;
  EXPECT_FALSE(DecodeMessage(other_version, &decoded));

  // A list that claims four billion entries.
  std::string forged;
  Writer(&forged).U32(0xffffffffu);
  CefRefPtr<CefListValue> list;
  EXPECT_FALSE(Reader(forged.data(), forged.size()).List(&list));
  // An unknown tag.
  std::string unknown;
  Writer writer(&unknown);
  writer.U32(1);
  writer.U8(42);
  EXPECT_FALSE(Reader(unknown.data(), unknown.size()).List(&list));
}

std::string NestedLists(int depth) {
  std::string data;
  Writer writer(&data);
  for (int i = 0; i < depth; ++i) {
    writer.U32(1);
    writer.U8(7);  // list
  }
  writer.U32(0);
  return data;
}

// Nesting is bounded so a crafted message cannot exhaust the stack.
TEST(ValueCodecTest, LimitsNesting) {
  CefRefPtr<CefListValue> list;
  const std::string ok = NestedLists(Reader::kMaxDepth);
  EXPECT_TRUE(Reader(ok.data(), ok.size()).List(&list));
  const std::string deep = NestedLists(Reader::kMaxDepth + 1);
  EXPECT_FALSE(Reader(deep.data(), deep.size()).List(&list));
  const std::string hostile = NestedLists(1000000);
  EXPECT_FALSE(Reader(hostile.data(), hostile.size()).List(&list));
}

// Collects what one end of a channel receives.
class Receiver {
 public:
  void Start(Channel* channel) {
    channel->Start(
        [this](ChannelMessage message) {
          std::lock_guard<std::mutex> lock(mutex_);
          messages_.push_back(std::move(message));
        },
        [this] { ++closed_; });
  }
  bool WaitForCount(size_t count) {
    return engine_test::WaitUntil([&] { return messages().size() >= count; },
                                  std::chrono::seconds(20));
  }
  bool WaitForClosed() {
    return engine_test::WaitUntil([&] { return closed_ > 0; },
                                  std::chrono::seconds(20));
  }
  std::vector<ChannelMessage> messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }
  int closed() { return closed_; }

 private:
  std::mutex mutex_;
  std::vector<ChannelMessage> messages_;
  std::atomic<int> closed_{0};
};

ChannelMessage Numbered(int sender, int index, size_t padding = 0) {
  ChannelMessage message;
  message.browser_id = sender;
  message.request_id = static_cast<uint64_t>(index);
  message.name = std::string(padding, 'p');
  return message;
}

// Concurrent senders never interleave frames, each sender's order is kept,
// and two ends that both send megabytes at once do not deadlock.
TEST(ChannelTest, OrderedFramesFromConcurrentSendersBothWays) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
  Channel left(fds[0]);
  Channel right(fds[1]);
  Receiver at_left;
  Receiver at_right;
  at_left.Start(&left);
  at_right.Start(&right);

  constexpr int kPerSender = 300;
  std::vector<std::thread> senders;
  for (int sender = 0; sender < 3; ++sender) {
    senders.emplace_back([&, sender] {
      for (int i = 0; i < kPerSender; ++i)
        EXPECT_TRUE(left.Send(Numbered(sender, i, i % 7 == 0 ? 70000 : 10)));
    });
  }
  senders.emplace_back([&] {
    for (int i = 0; i < kPerSender; ++i)
      EXPECT_TRUE(right.Send(Numbered(9, i, 70000)));
  });
  for (std::thread& thread : senders)
    thread.join();

  ASSERT_TRUE(at_right.WaitForCount(3 * kPerSender));
  ASSERT_TRUE(at_left.WaitForCount(kPerSender));
  int next[3] = {0, 0, 0};
  for (const ChannelMessage& message : at_right.messages()) {
    ASSERT_GE(message.browser_id, 0);
    ASSERT_LT(message.browser_id, 3);
    EXPECT_EQ(message.request_id,
              static_cast<uint64_t>(next[message.browser_id]++));
  }
  const std::vector<ChannelMessage> back = at_left.messages();
  for (int i = 0; i < kPerSender; ++i)
    EXPECT_EQ(back[i].request_id, static_cast<uint64_t>(i));
  EXPECT_EQ(at_left.closed(), 0);
}

// The peer going away, or a corrupt frame (oversized, undecodable), closes
// the channel exactly once; sending afterwards fails instead of blocking or
// raising SIGPIPE.
TEST(ChannelTest, ClosesOnPeerExitAndCorruptFrames) {
  for (const std::string& garbage :
       {std::string(), std::string("\xff\xff\xff\xff", 4),
        std::string("\x03\x00\x00\x00"
                    "abc",
                    7)}) {
    SCOPED_TRACE(garbage.size());
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    Channel channel(fds[0]);
    Receiver receiver;
    receiver.Start(&channel);
    // No garbage: the peer goes away.
    if (garbage.empty())
      close(fds[1]);
    else
      ASSERT_EQ(write(fds[1], garbage.data(), garbage.size()),
                static_cast<ssize_t>(garbage.size()));
    ASSERT_TRUE(receiver.WaitForClosed());
    EXPECT_TRUE(receiver.messages().empty());
    EXPECT_FALSE(channel.Send(Numbered(0, 0)));
    channel.Close();
    EXPECT_EQ(receiver.closed(), 1);
    if (!garbage.empty())
      close(fds[1]);
  }
}

// A stopped queue refuses work and never runs what was pending. (The order
// of tasks is checked on the real UI and IO threads by engine_process_test.)
TEST(ThreadTaskQueueTest, StopDropsPendingTasks) {
  ThreadTaskQueue queue;
  queue.Start();
  EXPECT_FALSE(queue.BelongsToCurrentThread());
  std::atomic<bool> ran{false};
  ASSERT_TRUE(queue.Post([&] { ran = true; }, 200));
  queue.Stop();
  EXPECT_FALSE(queue.Post([&] { ran = true; }, 0));
  EXPECT_FALSE(ran);
}

// The owner hears later launches even when the directory path is too long
// for a socket address; a silent owner makes later launches fail within
// their time limit, one that drops them at once; a released directory can
// be taken over.
TEST(ProcessSingletonTest, HearsLaunchesAndTimesOut) {
  TempDir temp;
  const std::string dir = temp.path() + "/" + std::string(60, 'a') + "/" +
                          std::string(60, 'b') + "/root";
  auto owner = std::make_unique<ProcessSingleton>(dir);
  ASSERT_EQ(owner->Acquire({"first"}, "/", 1000),
            ProcessSingleton::Result::kPrimary);

  // Not listening yet: the later launch waits for its limit and gives up.
  {
    ProcessSingleton later(dir);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(later.Acquire({"second"}, "/", 400),
              ProcessSingleton::Result::kFailed);
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(400));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
  }

  // An owner that drops the launch without answering: the later launch
  // fails at once rather than reporting success or waiting it out. The
  // owner heard its arguments whole. (An answered launch:
  // EndingTest.SecondStartsLeaveNothing.)
  std::mutex mutex;
  std::vector<std::string> heard;
  std::string heard_cwd;
  owner->StartListening([&](std::vector<std::string> argv, std::string cwd,
                            std::function<void()>) {
    std::lock_guard<std::mutex> lock(mutex);
    heard = argv;
    heard_cwd = cwd;
  });
  {
    ProcessSingleton later(dir);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(
        later.Acquire({"prog", "--flag=1", "", "x y"}, "/some where", 3000),
        ProcessSingleton::Result::kFailed);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(heard, (std::vector<std::string>{"prog", "--flag=1", "", "x y"}));
    EXPECT_EQ(heard_cwd, "/some where");
  }

  owner.reset();
  ProcessSingleton successor(dir);
  EXPECT_EQ(successor.Acquire({"fourth"}, "/", 1000),
            ProcessSingleton::Result::kPrimary);
}

}  // namespace
}  // namespace cefengine
