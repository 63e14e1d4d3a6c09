// qs_panel_sim: a Quellstor panel at the end of a serial line, for the
// transfer program. It makes a pseudo-terminal and answers on it what a
// panel answers (tools/qs_panel_sim/serial_panel.h lists the requests and
// answers), at the line's real rate of 19200 baud, 8N1, unless told not to.
//
//   qs_panel_sim [options]
//     --link PATH             also makes PATH a link to the terminal's device
//                             (an old link there is replaced; removed at the end)
//     --store DIR             the panel's memory: the files it keeps, whole,
//                             as "database.dtb", "protocol1.bin",
//                             "protocol2.bin" and "system.cmd"; those already
//                             there are its own (an upload sends database.dtb)
//     --type N                panel type, 0 to 255 (9; 0 to 26 are models)
//     --version TEXT          version text of 0 to 255 bytes ("V5.2.0")
//     --hardware N            hardware index, 0 to 127 (0)
//     --no-system-software    the panel reports that it has none
//     --no-pacing             bytes move at once, not at 1920 a second
//     --pause N               byte times of quiet that drop a partial frame (5)
//     --manual                start in manual mode
//     --fault SPEC            a fault from the start, as the command below
//     --script FILE           commands run before the panel starts answering
//
// Commands, one a line, on standard input or in the script ('#' a comment):
//   set type N | set version TEXT | set hardware N
//   set system-software on|off | set pacing on|off | set pause N
//   fault lose in|out F [B]      the Bth byte (1) of the Fth frame is lost
//   fault corrupt in|out F [B]   ... has its bits inverted
//   fault repeat in|out F [B]    ... comes twice
//   fault late in|out F MS [B]   ... comes MS milliseconds late
//   fault ack-lost N             the Nth download frame is kept, not answered
//   fault refuse N [C]           the Nth download frame and the C - 1 after it
//                                (C = 0: all from there on) are refused
//   fault silent F               from the Fth frame on nothing is read
//   fault answer-nth N           each kind of request is answered only from
//                                its Nth time on
//   fault size N                 an upload announces N bytes
//   fault none                   no faults
//     Frames count from the command on, 1 = the next: "in" frames are what
//     the panel begins to read (a request, a download frame, a run of
//     noise), "out" frames its answers; download frames count whole frames.
//   manual | auto                bytes read are only reported, or answered
//   send HEX...                  bytes to send on the line as they are
//   quit                         the program ends (so do SIGINT and SIGTERM)
//
// Reports, one a line, on standard output: "ready DEVICE" (with " link
// PATH"), then one line per event: "request system software", "request
// panel type", "request version", "request transfer mode", "download K",
// "frame K N good" (or "short", "end", "refused check", "refused fault"),
// "stored NAME N bytes", "upload N bytes announced M", "block I N",
// "block I again", "upload complete N bytes", "erased", "dropped HEX after a
// pause", "download K broken; the stored file is kept", "ignored HEX",
// "fault ...", "silent", "received HEX" and "sent HEX" (manual mode and
// send), "error TEXT" and, last, "bye".

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/files.h"
#include "tools/qs_panel_sim/serial_panel.h"
#include "tools/sim_console/sim_console.h"

namespace {

using qs_panel_sim::Bytes;
using qs_panel_sim::Time;
using Clock = std::chrono::steady_clock;

// What the program holds back while the PC does not read.
constexpr std::size_t kLargestBacklog = 1u << 20;
constexpr Time kLongestWait = std::chrono::milliseconds(500);

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

using sim_console::Report;

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr,
               "qs_panel_sim: %s\n"
               "usage: qs_panel_sim [--link PATH] [--store DIR] [--type N] [--version TEXT]\n"
               "         [--hardware N] [--no-system-software] [--no-pacing] [--pause N]\n"
               "         [--manual] [--fault SPEC]... [--script FILE]\n",
               problem.c_str());
  std::exit(2);
}

struct Options {
  std::string link;
  std::string folder;
  std::vector<std::string> commands;  // settings, faults and the script, in order
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--no-system-software") {
      o.commands.push_back("set system-software off");
      continue;
    }
    if (option == "--no-pacing") {
      o.commands.push_back("set pacing off");
      continue;
    }
    if (option == "--manual") {
      o.commands.push_back("manual");
      continue;
    }
    if (i + 1 >= argc) Usage(option + " needs a value");
    std::string value = argv[++i];
    if (option == "--link") {
      o.link = value;
    } else if (option == "--store") {
      if (!DirExists(value)) Usage("the folder " + value + " does not exist");
      o.folder = value;
    } else if (option == "--type" || option == "--version" || option == "--hardware" ||
               option == "--pause") {
      o.commands.push_back("set " + option.substr(2) + " " + value);
    } else if (option == "--fault") {
      o.commands.push_back("fault " + value);
    } else if (option == "--script") {
      if (!sim_console::ReadScript(value, &o.commands)) Usage("the script " + value + " cannot be read");
    } else {
      Usage("no option " + option);
    }
  }
  return o;
}

// The pseudo-terminal: the panel's end is the master; the PC opens the
// device. The program keeps the device open itself, so the line stays up
// while the PC has its port closed.
struct Terminal {
  int master = -1;
  int device = -1;
  std::string name;

  bool Open(std::string* error) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    char path[256];
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, path, sizeof path) != 0) {
      *error = std::string("no pseudo-terminal: ") + std::strerror(errno);
      return false;
    }
    name = path;
    device = open(path, O_RDWR | O_NOCTTY);
    termios raw{};
    if (device < 0 || tcgetattr(device, &raw) != 0) {
      *error = name + " cannot be opened: " + std::strerror(errno);
      return false;
    }
    // A serial line carries bytes as they are: no echo, no line editing.
    cfmakeraw(&raw);
    cfsetspeed(&raw, B19200);
    tcsetattr(device, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return true;
  }
  void Close() {
    if (device >= 0) close(device);
    if (master >= 0) close(master);
  }
};

bool MakeLink(const std::string& link, const std::string& target, std::string* error) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      *error = link + " exists and is not a link";
      return false;
    }
    unlink(link.c_str());
  }
  if (symlink(target.c_str(), link.c_str()) != 0) {
    *error = link + " cannot be made: " + std::strerror(errno);
    return false;
  }
  return true;
}

void RemoveLink(const std::string& link, const std::string& target) {
  char buffer[256];
  ssize_t n = readlink(link.c_str(), buffer, sizeof buffer - 1);
  if (n > 0 && std::string(buffer, static_cast<std::size_t>(n)) == target) unlink(link.c_str());
}

class Simulator {
 public:
  explicit Simulator(qs_panel_sim::PanelSettings settings)
      : start_(Clock::now()), panel_(std::move(settings), Report) {}

  Time Now() const { return std::chrono::duration_cast<Time>(Clock::now() - start_); }

  bool Command(const std::string& line, std::string* error) {
    std::string word = line.substr(0, line.find_first_of(" \t\r"));
    if (word == "quit") {
      quit_ = true;
      return true;
    }
    return panel_.Command(line, Now(), error);
  }

  void Run(Terminal& terminal) {
    while (!quit_ && g_stop == 0) {
      Wait(terminal);
      ReadLine(terminal);
      input_.Poll(0);
      Bytes out = panel_.Read(Now());
      backlog_.insert(backlog_.end(), out.begin(), out.end());
      WriteLine(terminal);
    }
  }

 private:
  void Wait(const Terminal& terminal) {
    Time now = Now();
    Time next = panel_.NextEvent();
    Time wait = next == qs_panel_sim::kNever ? kLongestWait
                                             : std::clamp(next - now, Time::zero(), kLongestWait);
    pollfd fds[2] = {{terminal.master, POLLIN, 0}, {input_.fd(), POLLIN, 0}};
    if (!backlog_.empty()) fds[0].events |= POLLOUT;
    timespec ts{static_cast<time_t>(wait.count() / 1000000000),
                static_cast<long>(wait.count() % 1000000000)};
    ppoll(fds, input_.ended() ? 1 : 2, &ts, nullptr);
  }

  void ReadLine(const Terminal& terminal) {
    std::uint8_t buffer[4096];
    ssize_t n;
    while ((n = read(terminal.master, buffer, sizeof buffer)) > 0) {
      panel_.Write(buffer, static_cast<std::size_t>(n), Now());
    }
  }

  void WriteLine(const Terminal& terminal) {
    if (backlog_.empty()) return;
    ssize_t n = write(terminal.master, backlog_.data(), backlog_.size());
    if (n > 0) backlog_.erase(backlog_.begin(), backlog_.begin() + n);
    if (backlog_.size() > kLargestBacklog) {
      Report("error the PC does not read; " + std::to_string(backlog_.size()) +
             " bytes are dropped");
      backlog_.clear();
    }
  }

  Clock::time_point start_;
  qs_panel_sim::SerialPanel panel_;
  Bytes backlog_;
  bool quit_ = false;
  // Without input the panel goes on; SIGTERM or SIGINT ends it.
  sim_console::CommandInput input_{[this](const std::string& line) {
    std::string error;
    if (!Command(line, &error)) Report("error " + error);
  }};
};

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);

  qs_panel_sim::PanelSettings settings;
  settings.folder = options.folder;
  Simulator simulator(settings);
  for (const std::string& line : options.commands) {
    std::string error;
    if (!simulator.Command(line, &error)) Usage(error);
  }

  Terminal terminal;
  std::string error;
  if (!terminal.Open(&error) ||
      (!options.link.empty() && !MakeLink(options.link, terminal.name, &error))) {
    std::fprintf(stderr, "qs_panel_sim: %s\n", error.c_str());
    terminal.Close();
    return 1;
  }
  Report("ready " + terminal.name + (options.link.empty() ? "" : " link " + options.link));
  simulator.Run(terminal);
  if (!options.link.empty()) RemoveLink(options.link, terminal.name);
  terminal.Close();
  Report("bye");
  return 0;
}
