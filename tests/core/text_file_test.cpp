#include "core/text_file.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/write_lock_holder.h"

namespace marrowick {
namespace {

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
  try {
    SaveLines({"x"}, "missing-dir/os.tcl");
    ADD_FAILURE();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::FileCreate);
    EXPECT_EQ(failure.Message(), "Cannot create file \"" +
                                     (dir.Path() / "missing-dir/os.tcl").string() +
                                     "\". No such file or directory");
  }
}

TEST(SaveLines, AShortWriteIsAStreamWriteError) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  try {
    SaveLines({"a"}, "/dev/full");
    ADD_FAILURE();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::StreamWrite);
    EXPECT_EQ(failure.Message(), "Stream write error");
  }
  // An empty list writes nothing and so cannot run short.
  EXPECT_NO_THROW(SaveLines({}, "/dev/full"));
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
  try {
    LoadLines(lines, "mom_cur.out");
    ADD_FAILURE();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::FileOpen);
    EXPECT_EQ(failure.Message(), "Cannot open file \"" + (dir.Path() / "mom_cur.out").string() +
                                     "\". No such file or directory");
  }
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
  try {
    LoadLines(lines, "P1_mom_cur.out");
    ADD_FAILURE();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::FileOpen);
    EXPECT_EQ(failure.Message(), "Cannot open file \"" + (dir.Path() / "P1_mom_cur.out").string() +
                                     "\". The file is in use by another program");
  }
  EXPECT_EQ(lines, Lines{"kept"});
  writer.Release();
  LoadLines(lines, "P1_mom_cur.out");
  EXPECT_EQ(lines, Lines{"1 2 "});
}

}  // namespace
}  // namespace marrowick
