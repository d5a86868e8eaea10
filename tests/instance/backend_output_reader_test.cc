#include "instance/backend_output_reader.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "gtest/gtest.h"
#include "tests/instance/recording_client_actions.h"

namespace {

using std::chrono::milliseconds;

const std::string token(reopenToken);

// Runs the reader on a real pipe on its own thread and writes chunks that
// the reader takes one read at a time.
class OutputReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    recording::Reset();
    ASSERT_EQ(pipe2(ends_, O_CLOEXEC), 0);
    reader_ = std::thread(BackendOutputReader, ends_[0]);
  }

  void TearDown() override {
    CloseWriter();
    if (reader_.joinable()) {
      reader_.join();
    }
  }

  // Writes one chunk and returns once the reader has taken all of it.
  void WriteChunk(const std::string& chunk) {
    ASSERT_EQ(write(ends_[1], chunk.data(), chunk.size()),
              static_cast<ssize_t>(chunk.size()));
    for (int i = 0; i < 400; ++i) {
      int pending = 0;
      ASSERT_EQ(ioctl(ends_[1], FIONREAD, &pending), 0);
      if (pending == 0) {
        // The reader has the bytes; a short grace lets a wrong reaction to
        // them show before the next chunk (a right one is waited for).
        std::this_thread::sleep_for(milliseconds(20));
        return;
      }
      std::this_thread::sleep_for(milliseconds(5));
    }
    FAIL() << "reader did not take the chunk";
  }

  void CloseWriter() {
    if (ends_[1] >= 0) {
      close(ends_[1]);
      ends_[1] = -1;
    }
  }

  int ends_[2] = {-1, -1};
  std::thread reader_;
};

// Only a chunk that begins or ends with the token is a request: a token in
// other output (a substring search) or after a zero byte (the chunk is text
// up to it) is not.
TEST_F(OutputReaderTest, TokenCountsOnlyAtEitherEndOfAChunk) {
  WriteChunk("before " + token + "after\n");
  WriteChunk(std::string("log\0", 4) + token);
  EXPECT_EQ(recording::RaiseCount(), 0);
  WriteChunk(token + std::string("\0tail", 5));
  EXPECT_TRUE(recording::WaitForRaiseCount(1, milliseconds(10000)));
}

// A reader that leaks the pipe keeps a descriptor per backend start.
TEST_F(OutputReaderTest, ClosesDescriptorAndEndsAtEndOfFile) {
  CloseWriter();
  reader_.join();
  errno = 0;
  EXPECT_EQ(fcntl(ends_[0], F_GETFD), -1);
  EXPECT_EQ(errno, EBADF);
}

void IgnoreSignal(int) {}

// A signal that interrupts the blocked read must not end the reader: it
// would close the pipe and miss every later token.
TEST_F(OutputReaderTest, KeepsReadingAfterInterruptedRead) {
  struct sigaction action = {};
  struct sigaction previous = {};
  action.sa_handler = IgnoreSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: read fails with EINTR
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  std::this_thread::sleep_for(milliseconds(50));
  ASSERT_EQ(pthread_kill(reader_.native_handle(), SIGUSR1), 0);
  std::this_thread::sleep_for(milliseconds(50));
  WriteChunk(token);
  EXPECT_TRUE(recording::WaitForRaiseCount(1, milliseconds(10000)));
  EXPECT_NE(fcntl(ends_[0], F_GETFD), -1);
  CloseWriter();
  reader_.join();
  sigaction(SIGUSR1, &previous, nullptr);
}

}  // namespace
