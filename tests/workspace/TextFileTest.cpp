#include "workspace/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TestModels.h"

namespace kalvex {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SplitLines, AcceptsCrLfCrAndLf) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines("\r\n"), (std::vector<std::string>{""}));
}

TEST(SaveTextFile, WritesExactBytesAndReplacesAtomically) {
  std::string path = testing::TempDir() + "/save.txt";
  TextBuilder text;
  text.Line("one").Append("two ").Line("three");
  ASSERT_FALSE(SaveTextFile(path, text.Text()));
  EXPECT_EQ(Slurp(path), "one\r\ntwo three\r\n");
  ASSERT_FALSE(SaveTextFile(path, "new"));
  EXPECT_EQ(Slurp(path), "new");
  EXPECT_FALSE(std::filesystem::exists(path + ".kvtmp"));
}

TEST(SaveTextFile, AFailedSaveReportsAndKeepsTheOldFile) {
  std::string dir = testing::TempDir() + "/locked";
  std::filesystem::create_directories(dir);
  std::string path = dir + "/keep.txt";
  ASSERT_FALSE(SaveTextFile(path, "old"));
  // A save into a folder that does not exist fails with the system's reason.
  auto error = SaveTextFile(dir + "/missing/x.txt", "new");
  ASSERT_TRUE(error);
  EXPECT_FALSE(error->empty());
  // A save over a directory fails at the rename and leaves no temporary.
  std::filesystem::create_directories(dir + "/adir/inner");
  EXPECT_TRUE(SaveTextFile(dir + "/adir", "x"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/adir.kvtmp"));
  EXPECT_EQ(Slurp(path), "old");
}

TEST(ReadTextLines, ReportsAMissingFile) {
  ReadResult r = ReadTextLines(testing::TempDir() + "/does-not-exist.dat");
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
}

TEST(PathNames, ShortNameIsTheNameLessItsExtension) {
  EXPECT_EQ(ShortNameOf("C:\\runs\\fit.alg"), "fit");
  EXPECT_EQ(ShortNameOf("/home/u/runs/fit.alg"), "fit");
  EXPECT_FALSE(ShortNameOf("fit.alg"));
  EXPECT_EQ(FolderOf("/a/b/c.alg"), "/a/b");
}

}  // namespace
}  // namespace kalvex
