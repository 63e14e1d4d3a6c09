// Command lines arrive whole however the input is cut, and a script is read
// a line at a time.

#include "tools/sim_console/sim_console.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"

namespace {

TEST(SimConsoleTest, LinesComeWholeAndTheEndIsNoticed) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::vector<std::string> lines;
  sim_console::CommandInput input([&](const std::string& l) { lines.push_back(l); }, fds[0]);
  input.Poll(0);
  EXPECT_TRUE(lines.empty());
  ASSERT_EQ(write(fds[1], "fault si", 8), 8);
  input.Poll(100);
  EXPECT_TRUE(lines.empty()) << "half a line waits";
  ASSERT_EQ(write(fds[1], "lent 2\nquit\nsen", 15), 15);
  input.Poll(100);
  EXPECT_EQ(lines, (std::vector<std::string>{"fault silent 2", "quit"}));
  close(fds[1]);
  input.Poll(100);
  EXPECT_TRUE(input.ended());
  EXPECT_EQ(lines.size(), 2u) << "an unfinished last line is no command";
  close(fds[0]);
}

TEST(SimConsoleTest, ReadsAScript) {
  TempFolder folder;
  std::string path = folder.Path() + "/script";
  ASSERT_TRUE(WriteWholeFile(path, "# faults\nfault size 3\n\nmanual"));
  std::vector<std::string> lines;
  ASSERT_TRUE(sim_console::ReadScript(path, &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"# faults", "fault size 3", "", "manual"}));
  EXPECT_FALSE(sim_console::ReadScript(folder.Path() + "/missing", &lines));
}

}  // namespace
