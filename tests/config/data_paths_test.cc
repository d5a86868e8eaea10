#include "app/data_paths.h"

#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "gtest/gtest.h"

namespace {

std::string Str(const cef_string_t& s) {
  return CefString(&s).ToString();
}

// Runs GetDataDir in a child whose real user id is `uid` (the effective id
// stays root) and returns what it answered.
std::string DataDirForRealUser(uid_t uid) {
  int fds[2];
  if (pipe(fds) != 0) {
    return "<pipe failed>";
  }
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    std::string answer =
        setreuid(uid, 0) == 0 ? "=" + GetDataDir() : "<setreuid failed>";
    ssize_t ignored = write(fds[1], answer.data(), answer.size());
    (void)ignored;
    _exit(0);
  }
  close(fds[1]);
  std::string answer;
  char buffer[256];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof(buffer))) > 0) {
    answer.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (child > 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  return answer;
}

// An empty data directory must give a relative path, not one under "/"; an
// absolute right side is appended as it is, never replacing the left.
TEST(JoinPathTest, AppendsWithOneSeparatorUnlessOneIsThere) {
  EXPECT_EQ("a/b", JoinPath("a/", "b"));
  EXPECT_EQ("a/b", JoinPath("a", "b"));
  EXPECT_EQ("b", JoinPath("", "b"));
  EXPECT_EQ("/x/etc/app.json", JoinPath("/x", "/etc/app.json"));
  EXPECT_EQ("a//b", JoinPath("a/", "/b"));
}

// Paths under the data directory; a user without a password entry gets
// paths relative to the working directory, not paths under "/".
TEST(EngineSettingsTest, PathsUnderTheDataDirectory) {
  CefSettings settings;
  FillEngineSettings("/home/ann/.korvel", settings);
  // The engine refuses a cache path outside the root cache path.
  EXPECT_EQ("/home/ann/.korvel/cache", Str(settings.root_cache_path));
  EXPECT_EQ("/home/ann/.korvel/cache/app", Str(settings.cache_path));
  FillEngineSettings("", settings);
  EXPECT_EQ("korvel.log", Str(settings.log_file));
}

// The real user decides, not the effective one; no entry means no directory.
TEST(DataDirTest, FollowsThePasswordEntryOfTheRealUser) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "needs root to change the real user id";
  }
  passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nullptr, nobody);
  const uid_t nobodyUid = nobody->pw_uid;
  const std::string nobodyHome = nobody->pw_dir;
  EXPECT_EQ("=" + nobodyHome + "/.korvel", DataDirForRealUser(nobodyUid));

  uid_t unknown = 47000;
  while (getpwuid(unknown)) {
    ++unknown;
  }
  EXPECT_EQ("=", DataDirForRealUser(unknown));
}

}  // namespace
