#pragma once
// A simulator program run by a test as a child process, with pipes on its
// standard input (commands), output (one report a line) and error. Waits end
// on what the program reports, with generous limits for a loaded machine.

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace sim_console {

inline constexpr int kWaitMs = 20000;

// A program started with pipes on its standard input and output.
class Program {
 public:
  explicit Program(std::vector<std::string> argv) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      dup2(err[1], STDERR_FILENO);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      std::vector<char*> args;
      for (std::string& a : argv) args.push_back(a.data());
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    stderr_ = err[0];
  }
  ~Program() {
    if (pid_ > 0 && !Finished(0)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {stdin_, stdout_, stderr_}) {
      if (fd >= 0) close(fd);
    }
  }

  void Say(const std::string& line) {
    std::string text = line + "\n";
    ASSERT_EQ(write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  // The next line of output that begins with `prefix` (others are kept in
  // `lines`), or "" when none comes in time.
  std::string WaitFor(const std::string& prefix, int ms = kWaitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (true) {
      for (; seen_ < lines.size(); ++seen_) {
        if (lines[seen_].rfind(prefix, 0) == 0) return lines[seen_++];
      }
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
      if (left <= 0 || !ReadSome(left)) return "";
    }
  }

  // Waits for the program's end; its exit status, or -1 when it did not end in time.
  int Wait(int ms = kWaitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!Finished(0)) {
      if (std::chrono::steady_clock::now() >= deadline) return -1;
      ReadSome(5);
    }
    while (ReadSome(0)) {}
    return status_;
  }

  void Signal(int signal) {
    if (pid_ > 0 && !Finished(0)) kill(pid_, signal);
  }

  std::string Errors() {
    std::string text;
    char buffer[1024];
    ssize_t n;
    while ((n = read(stderr_, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    return text;
  }

  std::vector<std::string> lines;

 private:
  bool ReadSome(int ms) {
    pollfd p{stdout_, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return false;
    char buffer[4096];
    ssize_t n = read(stdout_, buffer, sizeof buffer);
    if (n <= 0) return false;
    partial_.append(buffer, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
      lines.push_back(partial_.substr(0, end));
      partial_.erase(0, end + 1);
    }
    return true;
  }
  bool Finished(int) {
    if (done_) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
    done_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
  }

  pid_t pid_ = -1;
  int stdin_ = -1, stdout_ = -1, stderr_ = -1;
  std::string partial_;
  std::size_t seen_ = 0;
  bool done_ = false;
  int status_ = -1;
};

}  // namespace sim_console
