#include "config/launch_config.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/data_paths.h"
#include "gtest/gtest.h"
#include "tests/config/file_faults.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

using engine_test::TempDir;

const std::string kRuntime = ".korvel-cn/runtime";

class LaunchConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(data_.path().empty());
    SetDataDirForTesting(data_.path());
  }
  void TearDown() override { SetDataDirForTesting(""); }

  // Installs a release whose manifest is `manifest` (relative to the data
  // directory), entry description "<tag>/app.json" beside it and executable
  // "<tag>/bin/server". Returns the executable's path.
  std::string Install(const std::string& manifest,
                      const std::string& tag,
                      const std::string& version = "600") {
    const std::string dir =
        std::filesystem::path(manifest).parent_path().string();
    data_.Write(manifest, "{\"entryPath\": \"" + tag +
                              "/app.json\", \"version\": " + version + "}");
    data_.Write(dir + "/" + tag + "/app.json",
                R"({"relativeExecutable": "bin/server", "other": 1})");
    return data_.Write(dir + "/" + tag + "/bin/server", "#!/bin/sh\n");
  }

  // Installs a release in every manifest of `order` (later ones with higher
  // versions) and in every one of `never`, then removes them one by one in
  // `order`: each time the next one must win, and the `never` ones never.
  void ExpectManifestOrder(const std::vector<std::string>& order,
                           const std::vector<std::string>& never) {
    std::vector<std::string> executables;
    for (size_t i = 0; i < order.size(); ++i) {
      executables.push_back(
          Install(order[i], "r" + std::to_string(i), std::to_string(600 + i)));
    }
    for (const std::string& manifest : never) {
      Install(manifest, "never", "999");
    }
    for (size_t i = 0; i < order.size(); ++i) {
      LaunchConfig config = LoadLaunchConfig();
      EXPECT_TRUE(config.found) << order[i];
      EXPECT_EQ(executables[i], config.executable) << order[i];
      EXPECT_EQ(static_cast<int32_t>(600 + i), config.version) << order[i];
      std::filesystem::remove(data_.path() + "/" + order[i]);
    }
    EXPECT_FALSE(LoadLaunchConfig().found);
  }

  TempDir data_;
};

// Which manifests each environment reads, in which order, and which never:
// the test channel runs beta releases and falls back to production; the
// trimmed name picks the environment's own directory, a blank one is
// production.
TEST_F(LaunchConfigTest, ManifestOrderOfEachEnvironment) {
  const std::string shared = kRuntime + "/current";
  struct Case {
    std::string file;
    std::vector<std::string> order;
    std::vector<std::string> never;
  } const cases[] = {
      {" \t\r\n ",
       {shared + ".production.json", shared + ".json"},
       {shared + ".beta.json", "production/" + shared + ".json"}},
      {"  test \r\n",
       {shared + ".beta.json", shared + ".production.json", shared + ".json",
        "test/" + shared + ".json"},
       {shared + ".test.json", "test/" + shared + ".beta.json",
        "test/" + shared + ".production.json"}},
      {"staging\n",
       {shared + ".staging.json", shared + ".json",
        "staging/" + shared + ".json"},
       {shared + ".production.json", shared + ".beta.json",
        "staging/" + shared + ".staging.json"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    data_.Write(".env", c.file);
    ExpectManifestOrder(c.order, c.never);
  }
}

// Only an integer version counts, and only one above the shell's own build
// number is reported.
TEST_F(LaunchConfigTest, VersionMustBeAnInteger) {
  struct Case {
    std::string json;
    int32_t loaded;
    int32_t reported;
  };
  const Case cases[] = {{"512", 512, 512},
                        {"\"512\"", 505, 505},
                        {"512.5", 505, 505},
                        {"-7", -7, 505}};
  for (const Case& c : cases) {
    Install(kRuntime + "/current.json", "r", c.json);
    LaunchConfig config = LoadLaunchConfig();
    EXPECT_TRUE(config.found) << c.json;
    EXPECT_EQ(c.loaded, config.version) << c.json;
    EXPECT_EQ(c.reported, GetBackendVersion()) << c.json;
  }
  data_.Write(kRuntime + "/current.json", R"({"entryPath": "r/app.json"})");
  EXPECT_EQ(505, LoadLaunchConfig().version);
}

// Each broken manifest or entry description is skipped silently, and the
// valid current.json after it still wins.
TEST_F(LaunchConfigTest, BrokenFilesAreSkipped) {
  const std::string good = Install(kRuntime + "/current.json", "good");
  const std::string first = kRuntime + "/current.production.json";
  // (What any short file does, crashes included: fuzz/config_fuzzer.cc.)
  const std::string manifests[] = {
      "",
      "{\"entryPath\": 5}",
      "{\"entryPath\": \"missing/app.json\"}",
      std::string(200000, '[') + std::string(200000, ']'),
  };
  for (const std::string& manifest : manifests) {
    data_.Write(first, manifest);
    LaunchConfig config = LoadLaunchConfig();
    EXPECT_EQ(good, config.executable) << manifest.substr(0, 60);
  }

  data_.Write(first, R"({"entryPath": "bad/app.json", "version": 700})");
  const std::string entries[] = {"[]", "{}", "{\"relativeExecutable\": 7}",
                                 "{\"relativeExecutable\": \"nothing/here\"}"};
  for (const std::string& entry : entries) {
    data_.Write(kRuntime + "/bad/app.json", entry);
    EXPECT_EQ(good, LoadLaunchConfig().executable) << entry;
  }
}

// A manifest or environment file above the bound is refused, one at the
// bound is read.
TEST_F(LaunchConfigTest, OversizedFilesAreSkipped) {
  const std::string good = Install(kRuntime + "/current.json", "good");
  const std::string other = Install(kRuntime + "/other.json", "other", "800");
  const std::string first = kRuntime + "/current.production.json";
  const std::string valid = R"({"entryPath": "other/app.json"})";

  data_.Write(first, valid + std::string(kMaxConfigFileBytes, ' '));
  EXPECT_EQ(good, LoadLaunchConfig().executable);
  data_.Write(first,
              valid + std::string(kMaxConfigFileBytes - valid.size(), ' '));
  EXPECT_EQ(other, LoadLaunchConfig().executable);

  data_.Write(".env", "beta" + std::string(kMaxConfigFileBytes, ' '));
  EXPECT_EQ("production", GetEnvironmentName());
}

// Whatever stands where the environment file, a manifest or an entry
// description belongs is skipped like a missing file: no block on a FIFO, no
// 1 GiB read, no crash. Read as an ordinary user, since root reads a mode-000
// file.
TEST_F(LaunchConfigTest, FaultyFilesAreSkippedAsAUser) {
  using file_faults::Fault;
  // Chmod so that uid 65534 can reach the files.
  ASSERT_EQ(0, chmod(data_.path().c_str(), 0755));
  const std::string good = Install(kRuntime + "/current.json", "good");
  const std::string other =
      Install(kRuntime + "/current.production.json", "other", "800");
  const auto executable = [] { return LoadLaunchConfig().executable; };
  struct Target {
    std::string file;
    std::string content;
    std::function<std::string()> read;
    std::string whenValid;
    std::string whenFaulty;
  };
  const Target targets[] = {
      {".env", "beta", [] { return GetEnvironmentName(); }, "beta",
       "production"},
      {kRuntime + "/current.production.json",
       R"({"entryPath": "other/app.json", "version": 800})", executable, other,
       good},
      {kRuntime + "/other/app.json", R"({"relativeExecutable": "bin/server"})",
       executable, other, good},
  };
  const auto restore = [&] {
    for (const Target& target : targets) {
      file_faults::Remove(data_.path() + "/" + target.file);
      data_.Write(target.file, target.content);
    }
  };
  for (const Target& target : targets) {
    restore();
    EXPECT_EQ(target.whenValid, file_faults::ReadAsUser(target.read).result)
        << target.file;
    for (Fault fault : file_faults::kEveryFault) {
      restore();
      ASSERT_TRUE(file_faults::Place(data_.path() + "/" + target.file, fault,
                                     target.content));
      file_faults::UserRead read = file_faults::ReadAsUser(target.read);
      EXPECT_EQ(target.whenFaulty, read.result)
          << target.file << ": " << file_faults::Name(fault);
      EXPECT_LT(read.peakGrowthKb, 32 * 1024)
          << target.file << ": " << file_faults::Name(fault);
    }
  }
}

// A manifest and an environment file rewritten while they are read (an
// update or an editor at work): every read gives the file's start or is
// refused, never more than the bound, never a crash.
TEST_F(LaunchConfigTest, FilesRewrittenWhileReadStayWithinBound) {
  const std::string good = Install(kRuntime + "/current.json", "good");
  const std::string other =
      Install(kRuntime + "/current.production.json", "other", "800");
  // As installed, so that the reads before the first rewrite match too.
  const std::string head = R"({"entryPath": "other/app.json", "version": 800})";
  const size_t step = 64 << 10;
  const std::string manifest =
      data_.path() + "/" + kRuntime + "/current.production.json";
  int reads = 0;
  {
    file_faults::Churn manifestWriter(manifest, head, std::string(step, ' '),
                                      kMaxConfigFileBytes + step);
    file_faults::Churn envWriter(data_.path() + "/.env", "beta",
                                 std::string(step, '\n'),
                                 kMaxConfigFileBytes + step);
    for (; reads < 5000 && (reads < 100 || manifestWriter.rounds() < 3 ||
                            envWriter.rounds() < 3);
         ++reads) {
      const std::string executable = LoadLaunchConfig().executable;
      ASSERT_TRUE(executable == good || executable == other) << executable;
      const std::string name = GetEnvironmentName();
      ASSERT_TRUE(name == "production" || name == "beta") << name;
      std::string text;
      if (ReadFileTextUpTo(manifest, kMaxConfigFileBytes, text)) {
        ASSERT_LE(text.size(), kMaxConfigFileBytes);
        ASSERT_TRUE(text.empty() || text.rfind(head, 0) == 0)
            << testing::PrintToString(text.substr(0, 60));
        ASSERT_EQ(std::string::npos, text.find_first_not_of(' ', head.size()));
      }
    }
    EXPECT_GE(manifestWriter.rounds(), 3);
    EXPECT_GE(envWriter.rounds(), 3);
  }
  printf("%d reads while the files were rewritten\n", reads);
}

}  // namespace
