// Saving and reading files where the file system is hostile: planted links, odd targets,
// racing saves, failing writes, endless and oversized inputs.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "files/data_file.h"
#include "files/file_io.h"
#include "files/file_test_support.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

#ifdef _WIN32
TEST(SafeSave, ReadOnlyOrFolderTarget_RefusedAndUntouched) {
  ScratchDir dir;
  WriteBytes(dir.File("ro.dat"), "old");
  fs::permissions(dir.File("ro.dat"), fs::perms::owner_read);
  fs::create_directories(dir.path() / "folder.dat");
  std::string reason;
  EXPECT_FALSE(SaveFileSafely(dir.File("ro.dat"), "new", reason));
  EXPECT_EQ(reason, "it is read-only");
  EXPECT_EQ(ReadBytes(dir.File("ro.dat")), "old");
  EXPECT_FALSE(SaveFileSafely(dir.File("folder.dat"), "new", reason));
  EXPECT_EQ(reason, "it is a folder, not a regular file");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"folder.dat", "ro.dat"}));
  fs::permissions(dir.File("ro.dat"), fs::perms::owner_all);
}
#else
// Links, FIFOs, devices, umask and file size limits: POSIX only.
TEST(SafeSave, PlantedLinksAtTemporaryNames_NeverFollowed) {
  ScratchDir dir;
  WriteBytes(dir.File("victim"), "victim");
  WriteBytes(dir.File("t.dat"), "old");
  // Every name a save could pick for its temporary file that an attacker could guess.
  fs::create_symlink(dir.File("victim"), dir.File("t.dat.saving"));
  fs::create_symlink(dir.File("victim"), dir.File(".t.dat.saving"));
  std::string reason;
  ASSERT_TRUE(SaveFileSafely(dir.File("t.dat"), "new", reason)) << reason;
  EXPECT_EQ(ReadBytes(dir.File("t.dat")), "new");
  EXPECT_EQ(ReadBytes(dir.File("victim")), "victim");
  EXPECT_TRUE(fs::is_symlink(dir.File("t.dat.saving")));
  EXPECT_EQ(Names(dir.path()),
            (std::vector<std::string>{".t.dat.saving", "t.dat", "t.dat.saving", "victim"}));
}

TEST(SafeSave, SymlinkTarget_FileItLeadsToReplacedLinkStays) {
  ScratchDir dir;
  fs::create_directories(dir.path() / "real");
  WriteBytes(dir.File("real/t.dat"), "old");
  fs::create_symlink("real/t.dat", dir.File("link.dat"));
  std::string reason;
  ASSERT_TRUE(SaveFileSafely(dir.File("link.dat"), "new", reason)) << reason;
  EXPECT_TRUE(fs::is_symlink(dir.File("link.dat")));
  EXPECT_EQ(ReadBytes(dir.File("real/t.dat")), "new");
  // The temporary file was made beside the real file and is gone.
  EXPECT_EQ(Names(dir.path() / "real"), std::vector<std::string>{"t.dat"});
}

TEST(SafeSave, ReadOnlyAndNonRegularTargets_RefusedAndUntouched) {
  ScratchDir dir;
  WriteBytes(dir.File("ro.dat"), "old");
  fs::permissions(dir.File("ro.dat"), fs::perms::owner_read | fs::perms::group_read);
  fs::create_directories(dir.path() / "folder.dat");
  ASSERT_EQ(mkfifo(dir.File("fifo.dat").c_str(), 0600), 0);
  fs::create_symlink("ro.dat", dir.File("link-to-ro.dat"));

  std::string reason;
  EXPECT_FALSE(SaveFileSafely(dir.File("ro.dat"), "new", reason));
  EXPECT_EQ(reason, "it is read-only");
  EXPECT_EQ(ReadBytes(dir.File("ro.dat")), "old");
  EXPECT_FALSE(SaveFileSafely(dir.File("link-to-ro.dat"), "new", reason));
  EXPECT_EQ(reason, "it leads to " + dir.File("ro.dat") + ", which is read-only");
  EXPECT_FALSE(SaveFileSafely(dir.File("folder.dat"), "new", reason));
  EXPECT_EQ(reason, "it is a folder, not a regular file");
  EXPECT_TRUE(fs::is_directory(dir.File("folder.dat")));
  EXPECT_FALSE(SaveFileSafely(dir.File("fifo.dat"), "new", reason));
  EXPECT_EQ(reason, "it is a FIFO, not a regular file");
  EXPECT_TRUE(fs::is_fifo(dir.File("fifo.dat")));
  // A device node of our own (a copy of /dev/null, where the system allows making one): a save
  // that wrongly replaced it must not take a device of the machine with it.
  if (mknod(dir.File("device.dat").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
    EXPECT_FALSE(SaveFileSafely(dir.File("device.dat"), "new", reason));
    EXPECT_EQ(reason, "it is a device, not a regular file");
    EXPECT_TRUE(fs::is_character_file(dir.File("device.dat")));
    fs::remove(dir.File("device.dat"));
  }
  EXPECT_EQ(Names(dir.path()),
            (std::vector<std::string>{"fifo.dat", "folder.dat", "link-to-ro.dat", "ro.dat"}));
}

TEST(SafeSave, ReplacedFile_KeepsItsPermissions) {
  ScratchDir dir;
  WriteBytes(dir.File("t.dat"), "old");
  fs::permissions(dir.File("t.dat"), fs::perms::owner_read | fs::perms::owner_write);
  std::string reason;
  ASSERT_TRUE(SaveFileSafely(dir.File("t.dat"), "new", reason)) << reason;
  EXPECT_EQ(fs::status(dir.File("t.dat")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(SafeSave, PrivateTarget_ItsTemporaryFileIsNeverReadableByOthers) {
  ScratchDir dir;
  WriteBytes(dir.File("t.dat"), "old");
  fs::permissions(dir.File("t.dat"), fs::perms::owner_read | fs::perms::owner_write);
  const mode_t previous_umask = umask(022);
  std::atomic<bool> done{false};
  std::atomic<int> seen{0};
  mode_t widest = 0;
  // Watches the folder while a long save runs.
  std::thread watcher([&] {
    while (!done) {
      for (const auto& entry : fs::directory_iterator(dir.path())) {
        struct stat st {};
        if (entry.path().filename() != "t.dat" && ::stat(entry.path().c_str(), &st) == 0) {
          widest |= st.st_mode & 0777;
          ++seen;
        }
      }
    }
  });
  std::string reason;
  bool saved = true;
  for (int i = 0; i < 20 && seen == 0; ++i) {
    saved = saved && SaveFileSafely(dir.File("t.dat"), std::string(4'000'000, 'x'), reason);
  }
  done = true;
  watcher.join();
  umask(previous_umask);
  EXPECT_TRUE(saved) << reason;
  ASSERT_GT(seen, 0) << "the temporary file was never seen";
  EXPECT_EQ(widest & 077, 0u);
  EXPECT_EQ(fs::status(dir.File("t.dat")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(SafeSave, WriteFails_TargetUntouchedNoTemporaryLeft) {
  ScratchDir dir;
  WriteBytes(dir.File("t.dat"), "old");
  // A file size limit makes the write fail part way, as a full disk would.
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  rlimit small = previous;
  small.rlim_cur = 1000;
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string reason;
  bool saved = SaveFileSafely(dir.File("t.dat"), std::string(5000, 'x'), reason);
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(reason.rfind("the file cannot be written (", 0), 0u) << reason;
  EXPECT_EQ(ReadBytes(dir.File("t.dat")), "old");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"t.dat"});
}

#endif

TEST(SafeSave, RacingSaves_EachRoundLeavesOneWholeFile) {
  ScratchDir dir;
  const std::string a(40000, 'a');
  const std::string b(30000, 'b');
  for (int round = 0; round < 150; ++round) {
    std::string reason_a, reason_b;
    bool ok_a = false, ok_b = false;
    std::thread other([&] { ok_b = SaveFileSafely(dir.File("t.dat"), b, reason_b); });
    ok_a = SaveFileSafely(dir.File("t.dat"), a, reason_a);
    other.join();
    ASSERT_TRUE(ok_a && ok_b) << reason_a << reason_b;
    std::string text = ReadBytes(dir.File("t.dat"));
    ASSERT_TRUE(text == a || text == b) << "round " << round << ": " << text.size() << " bytes";
  }
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"t.dat"});
}

TEST(BoundedInput, FifoDeviceFolderAndOversizedFile_RefusedWithoutWaiting) {
  ScratchDir dir;
#ifndef _WIN32
  ASSERT_EQ(mkfifo(dir.File("fifo.dat").c_str(), 0600), 0);
#endif
  fs::create_directories(dir.path() / "folder.dat");
  { std::ofstream big(dir.File("big.dat"), std::ios::binary); }
  fs::resize_file(dir.File("big.dat"), kInputFileLimit + 1);
  WriteBytes(dir.File("limit.dat"), std::string(1000, 'x'));

  auto read = [](const std::string& path, std::string& reason, std::uintmax_t limit) {
    std::string bytes;
    // Run apart, so that a read that waits for ever fails the test instead of hanging it.
    auto pending =
        std::async(std::launch::async, [&] { return ReadInputFile(path, bytes, reason, limit); });
    if (pending.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
      // Releases a reader blocked on the FIFO.
      std::ofstream(path, std::ios::binary) << "x";
      ADD_FAILURE() << path << " was still being read after 5 s";
    }
    return pending.get();
  };
  std::string reason;
#ifndef _WIN32
  EXPECT_EQ(read(dir.File("fifo.dat"), reason, kInputFileLimit), ReadOutcome::kRefused);
  EXPECT_EQ(reason, "it is a FIFO, not a regular file");
  EXPECT_EQ(read("/dev/zero", reason, kInputFileLimit), ReadOutcome::kRefused);
  EXPECT_EQ(reason, "it is a device, not a regular file");
#endif
  EXPECT_EQ(read(dir.File("folder.dat"), reason, kInputFileLimit), ReadOutcome::kRefused);
  EXPECT_EQ(reason, "it is a folder, not a regular file");
  EXPECT_EQ(read(dir.File("big.dat"), reason, kInputFileLimit), ReadOutcome::kRefused);
  EXPECT_EQ(reason, "it is larger than 16 MiB, far more than such a file holds");
  EXPECT_EQ(read(dir.File("limit.dat"), reason, 1000), ReadOutcome::kRead);
  EXPECT_EQ(read(dir.File("none.dat"), reason, 1000), ReadOutcome::kCannotOpen);

  BoardConfig config;
  testing::RecordingDialogs dialogs;
  EXPECT_FALSE(LoadDataFile(config, dir.File("folder.dat"), dialogs));
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Cannot load " + dir.File("folder.dat") +
                                                      ": it is a folder, not a regular file"});
}

}  // namespace
}  // namespace vela
