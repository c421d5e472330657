#include "workspace/TextFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
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
  // Whatever lies beside the file (here a stale folder) does not block the save.
  std::filesystem::create_directories(path + ".kvtmp");
  ASSERT_FALSE(SaveTextFile(path, "newer"));
  EXPECT_EQ(Slurp(path), "newer");
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
  // A save over a directory is refused.
  std::filesystem::create_directories(dir + "/adir/inner");
  EXPECT_EQ(SaveTextFile(dir + "/adir", "x"), std::string(std::strerror(EISDIR)));
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
}

// Files saved as one result: whichever fails, none changes and no
// temporary is left; together they all change.
TEST(SaveTextFiles, AllOrNone) {
  const std::string dir = testing::TempDir() + "/together";
  std::filesystem::create_directories(dir + "/adir");
  const std::string first = dir + "/first.txt", second = dir + "/second.txt";
  for (const std::string& bad : {dir + "/adir", dir + "/missing/x.txt"}) {
    for (std::size_t failing : {0u, 1u}) {
      ASSERT_FALSE(SaveTextFile(first, "old 1"));
      ASSERT_FALSE(SaveTextFile(second, "old 2"));
      std::vector<FileContent> files = {{first, "new 1"}, {second, "new 2"}};
      files.insert(files.begin() + static_cast<std::ptrdiff_t>(failing), {bad, "never"});
      std::optional<SaveFailure> failure = SaveTextFiles(files);
      ASSERT_TRUE(failure) << bad;
      EXPECT_EQ(failure->index, failing);
      EXPECT_EQ(Slurp(first) + Slurp(second), "old 1old 2") << bad;
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 3) << bad;
    }
  }
  EXPECT_FALSE(SaveTextFiles({{first, "new 1"}, {second, "new 2"}}));
  EXPECT_EQ(Slurp(first) + Slurp(second), "new 1new 2");
}

TEST(ReadTextLines, RefusesWhatIsNotARegularFileWithoutWaiting) {
  const std::string fifo = testing::TempDir() + "/pipe.dat";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {testing::TempDir() + "/does-not-exist.dat", std::strerror(ENOENT)},
      {testing::TempDir(), std::strerror(EISDIR)},
      {fifo, "Not a regular file"},
      {"/dev/zero", "Not a regular file"},
  };
  for (const auto& [path, reason] : cases) {
    ReadResult r = ReadTextLines(path);
    EXPECT_FALSE(r.ok) << path;
    EXPECT_EQ(r.error, reason) << path;
  }
}

TEST(ReadTextLines, StopsAtTheLimitsOfItsFormat) {
  struct Case {
    std::string text;
    TextLimits limits;
    std::vector<std::string> lines;
    bool moreLines;
    std::string error;
  };
  const Case cases[] = {
      {"a\r\nb\rc\nd", {4, 1}, {"a", "b", "c", "d"}, false, ""},
      {"a\r\nb\r\n", {2, 1}, {"a", "b"}, false, ""},  // a last line end opens no line
      {"a\r\nb\r\n\r\n", {2, 1}, {"a", "b"}, true, ""},
      {"a\rb\r\nc", {2, 1}, {"a", "b"}, true, ""},
      {"ab\r\nabc\r\n", {5, 2}, {}, false, "Line 2 is longer than 2 characters"},
      {std::string(200000, 'x'), {5, 65536}, {}, false, "Line 1 is longer than 65536 characters"},
  };
  const std::string path = testing::TempDir() + "/limits.txt";
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    ReadResult r = ReadTextLines(path, c.limits);
    EXPECT_EQ(r.ok, c.error.empty()) << c.text.substr(0, 20);
    EXPECT_EQ(r.lines, c.lines) << c.text.substr(0, 20);
    EXPECT_EQ(r.moreLines, c.moreLines) << c.text.substr(0, 20);
    EXPECT_EQ(r.error, c.error);
  }
}

TEST(PathNames, ShortNameIsTheNameLessItsExtension) {
  EXPECT_EQ(ShortNameOf("C:\\runs\\fit.alg"), "fit");
  EXPECT_EQ(ShortNameOf("/home/u/runs/fit.alg"), "fit");
  EXPECT_FALSE(ShortNameOf("fit.alg"));
  EXPECT_EQ(FolderOf("/a/b/c.alg"), "/a/b");
}

}  // namespace
}  // namespace kalvex
