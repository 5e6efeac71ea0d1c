#include "core/text_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/failure.h"
#include "support/expect_failure.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/write_lock_holder.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

using testing::ReadBytes;
using testing::WriteBytes;

TEST(SaveLines, EndsEveryLineWithCrLf) {
  testing::ScopedTempDir dir;
  SaveLines({}, "empty.txt");
  EXPECT_EQ(ReadBytes("empty.txt"), "");
  EXPECT_TRUE(std::filesystem::exists("empty.txt"));
  SaveLines({"a"}, "one.txt");
  EXPECT_EQ(ReadBytes("one.txt"), "a\r\n");
  SaveLines({"wipe", "", "node 1 0.0 0.0  ", "\xe7\x9f\xa9"}, "one.txt");
  EXPECT_EQ(ReadBytes("one.txt"), "wipe\r\n\r\nnode 1 0.0 0.0  \r\n\xe7\x9f\xa9\r\n");
}

TEST(SaveLines, ReportsAFileThatCannotBeCreated) {
  testing::ScopedTempDir dir;
  const Failure failure =
      ExpectFailure(FailureKind::FileCreate, [&] { SaveLines({"x"}, "missing-dir/os.tcl"); });
  EXPECT_EQ(failure.Message(), "Cannot create file \"" +
                                   (dir.Path() / "missing-dir/os.tcl").string() +
                                   "\". No such file or directory");
}

TEST(SaveLines, AShortWriteIsAStreamWriteError) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ExpectFailure(FailureKind::StreamWrite, "Stream write error",
                [&] { SaveLines({"a"}, "/dev/full"); });
  // An empty list writes nothing and so cannot run short.
  EXPECT_NO_THROW(SaveLines({}, "/dev/full"));
}

// A save that fails half-way (here: past the size a process may write, as
// on a full disk) leaves the previous file as it was, and no stray file.
TEST(ReplaceBytes, KeepsThePreviousFileWholeUntilTheNewOneIsComplete) {
  testing::ScopedTempDir dir;
  WriteBytes("fibers.csv", "kind,y_mm\r\n");
  std::filesystem::permissions("fibers.csv", std::filesystem::perms(0640));
  std::filesystem::create_symlink("fibers.csv", "link.csv");
  {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto handler = signal(SIGXFSZ, SIG_IGN);
    const rlimit small{4096, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    ExpectFailure(FailureKind::StreamWrite, "Stream write error",
                  [&] { ReplaceBytes(std::string(10000, 'x'), "link.csv"); });
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, handler);
  }
  EXPECT_EQ(ReadBytes("fibers.csv"), "kind,y_mm\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);

  // Through the link, the file it names is replaced and keeps its mode; a
  // new file gets the mode of any new file.
  ReplaceLines({"a", "b"}, "link.csv");
  EXPECT_EQ(ReadBytes("fibers.csv"), "a\r\nb\r\n");
  EXPECT_TRUE(std::filesystem::is_symlink("link.csv"));
  EXPECT_EQ(std::filesystem::status("fibers.csv").permissions(), std::filesystem::perms(0640));
  const mode_t mask = umask(027);
  ReplaceBytes("{}", "summary.json");
  umask(mask);
  EXPECT_EQ(ReadBytes("summary.json"), "{}");
  EXPECT_EQ(std::filesystem::status("summary.json").permissions(), std::filesystem::perms(0640));
}

TEST(LoadLines, CutsAtEveryKindOfBreak) {
  testing::ScopedTempDir dir;
  const std::pair<std::string, Lines> cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"", {}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("a\r\nbc\0d\r\ne\r\n", 12), {"a", "bc"}},
      {std::string("\0abc", 4), {}},
      {"1.5 0.002 \n2 3 ", {"1.5 0.002 ", "2 3 "}},
  };
  for (const auto& [bytes, expected] : cases) {
    WriteBytes("f.txt", bytes);
    Lines lines{"old"};
    LoadLines(lines, "f.txt");
    EXPECT_EQ(lines, expected) << ::testing::PrintToString(bytes);
  }
}

TEST(LoadLines, AMissingFileLeavesTheListAsItWas) {
  testing::ScopedTempDir dir;
  Lines lines{"kept"};
  const Failure failure =
      ExpectFailure(FailureKind::FileOpen, [&] { LoadLines(lines, "mom_cur.out"); });
  EXPECT_EQ(failure.Message(), "Cannot open file \"" + (dir.Path() / "mom_cur.out").string() +
                                   "\". No such file or directory");
  EXPECT_EQ(lines, Lines{"kept"});
  std::filesystem::create_directory("a-directory");
  EXPECT_THROW(LoadLines(lines, "a-directory"), Failure);
  EXPECT_EQ(lines, Lines{"kept"});
}

TEST(LoadLines, RefusesAFileThatAWriterHoldsLocked) {
  testing::ScopedTempDir dir;
  WriteBytes("P1_mom_cur.out", "1 2 \n");
  testing::WriteLockHolder writer("P1_mom_cur.out");
  ASSERT_TRUE(writer.Locked());
  Lines lines{"kept"};
  const Failure failure =
      ExpectFailure(FailureKind::FileOpen, [&] { LoadLines(lines, "P1_mom_cur.out"); });
  EXPECT_EQ(failure.Message(), "Cannot open file \"" + (dir.Path() / "P1_mom_cur.out").string() +
                                   "\". The file is in use by another program");
  EXPECT_EQ(lines, Lines{"kept"});
  writer.Release();
  LoadLines(lines, "P1_mom_cur.out");
  EXPECT_EQ(lines, Lines{"1 2 "});
}

// What the disk can do to a save or a load: a full disk, a directory removed
// under the program, huge lines and files of NUL bytes.
// A 16 KiB file system, mounted for the life of the object; needs root.
class TinyDisk {
 public:
  explicit TinyDisk(const std::filesystem::path& where) : path_(where) {
    std::filesystem::create_directory(path_);
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=16k") == 0;
  }
  ~TinyDisk() {
    if (mounted_) ::umount(path_.c_str());
  }
  bool Mounted() const { return mounted_; }

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
};

TEST(FileFaults, AFullDiskKeepsThePartialFileAndSaysStreamWriteError) {
  testing::ScopedTempDir dir;
  TinyDisk disk(dir.Path() / "disk");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  Lines lines(2000, std::string(60, 'x'));
  const Failure failure =
      ExpectFailure(FailureKind::StreamWrite, [&] { SaveLines(lines, "disk/os.tcl"); });
  EXPECT_EQ(FailureDisplayText(failure.Message()), "Stream write error.");
  std::ifstream in("disk/os.tcl", std::ios::binary);
  const std::string kept{std::istreambuf_iterator<char>(in), {}};
  EXPECT_GT(kept.size(), 0u);
  EXPECT_LT(kept.size(), 2000u * 62u);
  EXPECT_EQ(kept.substr(0, 64), std::string(60, 'x') + "\r\n" + "xx");
}

TEST(FileFaults, ADirectoryRemovedUnderTheProgramFailsTheCreate) {
  testing::ScopedTempDir dir;
  std::filesystem::create_directory("gone");
  std::filesystem::current_path("gone");
  std::filesystem::remove(dir.Path() / "gone");
  const Failure failure =
      ExpectFailure(FailureKind::FileCreate, [&] { SaveLines({"wipe"}, "os.tcl"); });
  EXPECT_EQ(failure.Message(), "Cannot create file \"" + (dir.Path() / "gone (deleted)").string() +
                                   "/os.tcl\". No such file or directory");
  std::filesystem::current_path(dir.Path());
}

TEST(FileFaults, HugeLinesAndNulFilesLoad) {
  testing::ScopedTempDir dir;
  {
    std::ofstream out("big.out", std::ios::binary);
    for (int i = 0; i < 1000; ++i)
      out << std::string(10000, static_cast<char>('a' + i % 26)) << "\r\n";
  }
  Lines lines;
  LoadLines(lines, "big.out");
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(lines[999], std::string(10000, static_cast<char>('a' + 999 % 26)));

  std::ofstream("nul.out", std::ios::binary) << std::string(4096, '\0');
  lines = {"old"};
  LoadLines(lines, "nul.out");
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace marrowick
