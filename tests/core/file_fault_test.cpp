// What the disk can do to a save or a load: a full disk, a directory removed
// under the program, huge lines and files of NUL bytes.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/failure.h"
#include "core/text_file.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

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
  try {
    SaveLines(lines, "disk/os.tcl");
    ADD_FAILURE();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::StreamWrite);
    EXPECT_EQ(FailureDisplayText(failure.Message()), "Stream write error.");
  }
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
  try {
    SaveLines({"wipe"}, "os.tcl");
    ADD_FAILURE();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::FileCreate);
    EXPECT_EQ(failure.Message(), "Cannot create file \"" +
                                     (dir.Path() / "gone (deleted)").string() +
                                     "/os.tcl\". No such file or directory");
  }
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
