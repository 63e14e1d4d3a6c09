#include "varnht32/tests/card_simulator.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace vnh_test {

CardSimulator::CardSimulator(const char* program, int cards) : cards_(cards) {
  char folder[] = "/tmp/vnhcards.XXXXXX";
  if (mkdtemp(folder) == nullptr) return;
  folder_ = folder;
  int in[2];
  int out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return;
  std::string count = std::to_string(cards);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(in[1]);
    close(out[0]);
    execl(program, program, folder_.c_str(), count.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  stdin_ = in[1];
  char ready[6] = {};
  pollfd pfd{out[0], POLLIN, 0};
  ready_ = poll(&pfd, 1, 10000) == 1 && read(out[0], ready, 6) == 6 &&
           std::string(ready, 6) == "ready\n";
  close(out[0]);
}

CardSimulator::~CardSimulator() {
  if (control_ >= 0) close(control_);
  if (stdin_ >= 0) close(stdin_);  // its end of input ends it
  if (pid_ > 0) waitpid(pid_, nullptr, 0);
  for (int n = 1; n <= cards_; ++n) unlink((DevicePrefix() + std::to_string(n)).c_str());
  unlink((folder_ + "/control").c_str());
  rmdir(folder_.c_str());
}

std::string CardSimulator::Control(const std::string& line) {
  if (control_ < 0) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strcpy(a.sun_path, (folder_ + "/control").c_str());
    control_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(control_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return "no control";
  }
  std::string request = line + "\n";
  if (write(control_, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
    return "no control";
  }
  std::string answer;
  char c = 0;
  while (read(control_, &c, 1) == 1 && c != '\n') answer += c;
  return answer;
}

long CardSimulator::Stat(int card, const std::string& name) {
  std::istringstream in(Control("stats " + std::to_string(card)));
  std::string word;
  while (in >> word) {
    long value = 0;
    if (word == name && in >> value) return value;
  }
  return -1;
}

}  // namespace vnh_test
