// kelmnet_node_sim: a Kelmnet node on the TCP/IP channel, played by a program
// on the fieldbus library itself: a server client that offers named variables
// and takes the transfer program's stream as a panel does.
//
//   kelmnet_node_sim [options]
//     --address A.B.C.D       own address; on loopback 127.0.0.N is node N
//                             (the first 127.0.0.N from 2 up whose port is free)
//     --port N                UDP port (the library's 2999)
//     --channel N             number of the TCP/IP channel (5)
//     --identity NAME         identity name of 1 to 5 characters ("PANEL")
//     --database FILE         the panel's database: an upload sends it, a
//                             whole download replaces it
//     --variable NAME=VALUE   a named variable the node offers (repeatable)
//     --fault SPEC            a fault from the start, as the command below
//     --script FILE           commands run before the node starts answering
//
// Commands, one a line, on standard input or in the script ('#' a comment):
//   set NAME VALUE        offers or changes a variable (VALUE: true, false, a
//                         whole number, a real with a point, else a string)
//   fault refuse-streams  stream open requests are refused
//   fault silent          frames are taken and never answered
//   fault close-after N   the node closes the stream at its Nth frame
//   fault exit-after N    the node is lost at the Nth frame of a stream
//   fault size N          an upload announces N bytes
//   fault corrupt N       the Nth block of an upload has its first byte flipped
//   fault delay MS        every answer leaves MS milliseconds late
//   fault none            no faults
//   manual | auto         frames are only reported, or answered as a panel does
//   send HEX...           one frame on the open stream
//   close                 the node closes the open stream
//   exit                  the node is lost: the program ends closing nothing
//   quit                  the program ends in order (so do SIGINT and SIGTERM)
//
// Reports, one a line, on standard output: "ready node N address A port P
// channel C", "open NAME", "refused NAME", "frame N HEX..." (manual mode),
// "closed", "read NAME", "write NAME VALUE", the panel's transfer reports
// ("download complete N bytes", "upload complete N bytes", ...), "error TEXT"
// and, last, "bye".

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/files.h"
#include "tools/kelmnet_node_sim/fieldbus_instance.h"
#include "tools/kelmnet_node_sim/panel_node.h"
#include "tools/sim_console/sim_console.h"

namespace {

using kelmnet_sim::Frame;
using kelmnet_sim::NodeValue;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kSendAction = 1;
constexpr std::size_t kStreamFrameMax = 255;
constexpr std::uint32_t kCloseAction = 2;
constexpr std::int32_t kRefused = VNH_TIMEOUT;  // what a node answers a stream it will not take

volatile std::sig_atomic_t g_stop = 0;

using sim_console::Report;

struct Outgoing {
  Frame frame;
  Clock::time_point due;
};

struct Node {
  kelmnet_sim::FieldbusInstance instance{"kelmnet_node_sim"};
  kelmnet_sim::PanelNode panel{"", Report};
  std::map<std::string, NodeValue> variables;
  bool refuse_streams = false;
  bool manual = false;
  int delay_ms = 0;
  VNHHandle stream = 0;
  bool closing = false;
  bool sending = false;
  std::deque<Outgoing> outgoing;
  bool quit = false;
};

Node* g_node = nullptr;

std::string Hex(const std::uint8_t* data, std::size_t length) {
  std::string text;
  char byte[4];
  for (std::size_t i = 0; i < length; ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : " %02x", data[i]);
    text += byte;
  }
  return text;
}

void StreamEnded() {
  Node& n = *g_node;
  n.stream = 0;
  n.closing = false;
  n.sending = false;
  n.outgoing.clear();
  n.panel.Closed();
  Report("closed");
}

void Queue(Frame frame) {
  g_node->outgoing.push_back({std::move(frame), Clock::now() + std::chrono::milliseconds(g_node->delay_ms)});
}

void CloseStream() {
  Node& n = *g_node;
  if (n.stream == 0 || n.closing) {
    Report("error no stream is open");
    return;
  }
  VNHHandle action = kCloseAction;
  std::int32_t status = 0;
  VNHStreamClose(&n.stream, &action, &status);
  if (status != VNH_SUCCESS) {
    Report("error the stream cannot be closed (" + std::to_string(status) + ")");
    return;
  }
  n.closing = true;
}

// Callbacks: the library calls them inside VNHPollCommunication.

void VNH_CALL ReadVariable(const VNHIdentifier* name, VNHVariableValue* container,
                           std::int32_t* status) {
  std::string key = kelmnet_sim::Text(*name);
  auto found = g_node->variables.find(key);
  if (found == g_node->variables.end()) {
    Report("read " + key + " (unknown)");
    *status = VNH_ILLEGAL_IDENTIFIER;
    return;
  }
  Report("read " + key);
  *status = kelmnet_sim::PutValue(found->second, container);
}

void VNH_CALL WriteVariable(const VNHIdentifier* name, VNHVariableValue* container,
                            std::int32_t* status) {
  std::string key = kelmnet_sim::Text(*name);
  NodeValue value;
  std::string shown;
  if (!kelmnet_sim::TakeValue(*container, &value, &shown)) {
    Report("error write " + key + " " + shown + " refused");
    *status = VNH_WRONG_VALUE_TYPE;
    return;
  }
  g_node->variables[key] = value;
  Report("write " + key + " " + shown);
  *status = VNH_SUCCESS;
}

void VNH_CALL StreamOpen(const VNHIdentifier* name, VNHHandle* stream, std::uint32_t* user_value,
                         std::int32_t* status) {
  Node& n = *g_node;
  std::string text = kelmnet_sim::Text(*name);
  // A panel takes one transfer at a time.
  if (n.refuse_streams || n.stream != 0) {
    Report("refused " + text);
    *status = kRefused;
    return;
  }
  n.stream = *stream;
  n.closing = false;
  n.sending = false;
  n.outgoing.clear();
  n.panel.Opened();
  *user_value = 0;
  *status = VNH_SUCCESS;
  Report("open " + text);
}

void VNH_CALL StreamReceived(std::uint32_t*, std::uint32_t* length, std::uint8_t* data,
                             std::int32_t* status) {
  Node& n = *g_node;
  *status = VNH_SUCCESS;
  if (n.manual) {
    Report("frame " + std::to_string(*length) + " " + Hex(data, *length));
    return;
  }
  kelmnet_sim::PanelAnswer answer = n.panel.Receive(data, *length);
  if (answer.exit) {
    Report("bye lost");
    n.instance.Abandon(0);
  }
  for (Frame& frame : answer.frames) Queue(std::move(frame));
  // The close is queued from the main loop: not inside the library's call.
  if (answer.close) n.outgoing.push_back({Frame(), Clock::now()});
}

void VNH_CALL StreamSend(std::uint32_t*, std::uint32_t* length, std::uint8_t* buffer,
                         std::int32_t* status) {
  Node& n = *g_node;
  if (n.outgoing.empty() || n.outgoing.front().frame.empty()) {
    *length = 0;
    *status = VNH_SUCCESS;
    return;
  }
  Frame& frame = n.outgoing.front().frame;
  std::uint32_t count = std::min<std::uint32_t>(*length, static_cast<std::uint32_t>(frame.size()));
  std::memcpy(buffer, frame.data(), count);
  *length = count;
  // What the peer's credit did not take goes next time.
  if (count < frame.size()) {
    frame.erase(frame.begin(), frame.begin() + count);
  } else {
    n.outgoing.pop_front();
  }
  *status = VNH_SUCCESS;
}

void VNH_CALL StreamClosed(std::uint32_t*, std::int32_t* status) {
  StreamEnded();
  *status = VNH_SUCCESS;
}

void VNH_CALL ActionDone(std::uint32_t* user_value, const VNHActionResult* result) {
  Node& n = *g_node;
  if (*user_value == kSendAction) {
    n.sending = false;
    if (result->status != VNH_SUCCESS) {
      Report("error a frame was not delivered (" + std::to_string(result->status) + ")");
    }
  } else if (*user_value == kCloseAction && n.closing) {
    StreamEnded();
  }
}

// Sends the next frame that is due, or closes the stream when a close is next.
void DriveStream() {
  Node& n = *g_node;
  if (n.stream == 0 || n.closing || n.sending || n.outgoing.empty()) return;
  if (n.outgoing.front().due > Clock::now()) return;
  if (n.outgoing.front().frame.empty()) {
    n.outgoing.pop_front();
    CloseStream();
    return;
  }
  VNHHandle action = kSendAction;
  std::int32_t status = 0;
  VNHStreamSendData(&n.stream, &action, &status);
  if (status != VNH_SUCCESS) {
    Report("error a frame cannot be sent (" + std::to_string(status) + ")");
    n.outgoing.pop_front();
    return;
  }
  n.sending = true;
}

// Commands.

using sim_console::ParseNumber;

bool SetVariable(const std::string& name, const std::string& text, std::string* error) {
  VNHIdentifier id = kelmnet_sim::Identifier(name);
  std::uint32_t kind = 0;
  if (name.empty() || name.size() > sizeof id.text || VNHLegalIdentifier(&id, &kind) != VNH_SUCCESS) {
    *error = "\"" + name + "\" is not a variable name";
    return false;
  }
  NodeValue value;
  std::string problem;
  if (!kelmnet_sim::ParseValue(text, &value, &problem)) {
    *error = "the value of " + name + ": " + problem;
    return false;
  }
  g_node->variables[name] = value;
  return true;
}

bool SetFault(std::istringstream& in, std::string* error) {
  Node& n = *g_node;
  kelmnet_sim::PanelFaults& f = n.panel.faults();
  std::string what, count;
  in >> what >> count;
  long value = 0;
  auto need = [&](long low, long high) {
    if (ParseNumber(count, low, high, &value)) return true;
    *error = "fault " + what + " needs a number from " + std::to_string(low) + " to " +
             std::to_string(high);
    return false;
  };
  if (what == "none") {
    f = kelmnet_sim::PanelFaults{};
    n.refuse_streams = false;
    n.delay_ms = 0;
  } else if (what == "refuse-streams") {
    n.refuse_streams = true;
  } else if (what == "silent") {
    f.silent = true;
  } else if (what == "close-after") {
    if (!need(1, 1000000)) return false;
    f.close_after = static_cast<int>(value);
  } else if (what == "exit-after") {
    if (!need(1, 1000000)) return false;
    f.exit_after = static_cast<int>(value);
  } else if (what == "size") {
    if (!need(0, 0xFFFFFFFFL)) return false;
    f.announced_size = value;
  } else if (what == "corrupt") {
    if (!need(1, 1000000)) return false;
    f.corrupt_block = static_cast<int>(value);
  } else if (what == "delay") {
    if (!need(0, 60000)) return false;
    n.delay_ms = static_cast<int>(value);
  } else {
    *error = "no fault \"" + what + "\"";
    return false;
  }
  return true;
}

bool ParseFrame(std::istringstream& in, Frame* frame, std::string* error) {
  std::string byte;
  while (in >> byte) {
    long value = 0;
    char* end = nullptr;
    value = std::strtol(byte.c_str(), &end, 16);
    if (byte.size() > 2 || *end != '\0' || value < 0) {
      *error = "\"" + byte + "\" is not a hexadecimal byte";
      return false;
    }
    frame->push_back(static_cast<std::uint8_t>(value));
  }
  // A stream carries up to 255 bytes in a frame: a script may send more than
  // a panel's 250 to try a peer.
  if (frame->empty() || frame->size() > kStreamFrameMax) {
    *error = "a frame has 1 to 255 bytes";
    return false;
  }
  return true;
}

void Command(const std::string& line) {
  std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos || line[first] == '#') return;
  std::istringstream in(line.substr(first));
  std::string word;
  in >> word;
  std::string error;
  Node& n = *g_node;
  if (word == "set") {
    std::string name, rest;
    in >> name;
    std::getline(in >> std::ws, rest);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ')) rest.pop_back();
    SetVariable(name, rest, &error);
  } else if (word == "fault") {
    SetFault(in, &error);
  } else if (word == "manual") {
    n.manual = true;
  } else if (word == "auto") {
    n.manual = false;
  } else if (word == "send") {
    Frame frame;
    if (ParseFrame(in, &frame, &error)) {
      if (n.stream == 0) {
        error = "no stream is open";
      } else {
        Queue(std::move(frame));
      }
    }
  } else if (word == "close") {
    CloseStream();
  } else if (word == "exit") {
    Report("bye lost");
    n.instance.Abandon(0);
  } else if (word == "quit") {
    n.quit = true;
  } else {
    error = "no command \"" + word + "\"";
  }
  if (!error.empty()) Report("error " + error);
}

void OnSignal(int) { g_stop = 1; }

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr,
               "kelmnet_node_sim: %s\n"
               "usage: kelmnet_node_sim [--address A.B.C.D] [--port N] [--channel N]\n"
               "         [--identity NAME] [--database FILE] [--variable NAME=VALUE]...\n"
               "         [--fault SPEC]... [--script FILE]\n",
               problem.c_str());
  std::exit(2);
}

struct Options {
  kelmnet_sim::InstanceOptions instance;
  std::string identity = "PANEL";
  std::string database;
  std::vector<std::string> commands;  // variables, faults and the script, in order
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (i + 1 >= argc) Usage(option + " needs a value");
    std::string value = argv[++i];
    long n = 0;
    if (option == "--address") {
      in_addr parsed{};
      if (inet_pton(AF_INET, value.c_str(), &parsed) != 1) Usage(value + " is not an IPv4 address");
      o.instance.address = value;
    } else if (option == "--port") {
      if (!ParseNumber(value, 1, 65535, &n)) Usage("the port is a number from 1 to 65535");
      o.instance.port = static_cast<int>(n);
    } else if (option == "--channel") {
      if (!ParseNumber(value, 1, 255, &n)) Usage("the channel is a number from 1 to 255");
      o.instance.channel = static_cast<int>(n);
    } else if (option == "--identity") {
      if (value.empty() || value.size() > 5) Usage("the identity has 1 to 5 characters");
      o.identity = value;
    } else if (option == "--database") {
      o.database = value;
    } else if (option == "--variable") {
      std::size_t eq = value.find('=');
      if (eq == std::string::npos) Usage("a variable is given as NAME=VALUE");
      o.commands.push_back("set " + value.substr(0, eq) + " " + value.substr(eq + 1));
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

bool StartNode(const Options& o, std::string* error) {
  Node& n = *g_node;
  if (!n.instance.Open(o.instance, error)) return false;
  std::int32_t status = 0;
  VNHIdentifier identity = kelmnet_sim::Identifier(o.identity);
  std::uint32_t option = 0;
  VNHConfigIdentity(&identity, &option, &status);
  if (status != VNH_SUCCESS) {
    *error = "the identity " + o.identity + " was refused (" + std::to_string(status) + ")";
    return false;
  }
  struct Step {
    const char* what;
    std::int32_t status;
  };
  std::int32_t s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  VNHSetVariableCallBacks(ReadVariable, WriteVariable, &s1);
  VNHSetStreamCallBacks(StreamOpen, StreamReceived, StreamSend, StreamClosed, &s2);
  VNHSetAsyncActionCallBack(ActionDone, &s3);
  VNHInitCommunication(&s4);
  for (const Step& step : {Step{"variable callbacks", s1}, Step{"stream callbacks", s2},
                           Step{"action callback", s3}, Step{"communication", s4}}) {
    if (step.status != VNH_SUCCESS) {
      *error = std::string("the library refused the ") + step.what + " (" +
               std::to_string(step.status) + ")";
      return false;
    }
  }
  return true;
}

// The node's own address on its channel, as the library has it.
std::string OwnAddress(int channel) {
  VNHIdentifier id = kelmnet_sim::Identifier(std::to_string(channel));
  VNHIdentifier own{}, version{};
  std::uint32_t memory = 0;
  if (VNHGetKelmnetInfo(&id, &memory, &own, &version) == VNH_SUCCESS) return kelmnet_sim::Text(own);
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  static Node node;
  g_node = &node;
  node.panel = kelmnet_sim::PanelNode(options.database, Report);

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);

  std::string error;
  if (!StartNode(options, &error)) {
    std::fprintf(stderr, "kelmnet_node_sim: %s\n", error.c_str());
    node.instance.Close();
    return 1;
  }
  for (const std::string& line : options.commands) Command(line);

  std::string own = OwnAddress(options.instance.channel);
  std::string host = own.substr(own.rfind('.') + 1);
  const char* port = std::getenv("VARNHT32_UDP_PORT");
  Report("ready node " + host + " address " + own + " port " + (port != nullptr ? port : "2999") +
         " channel " + std::to_string(options.instance.channel));

  // Without input the node goes on; SIGTERM or SIGINT ends it.
  sim_console::CommandInput input(Command);
  while (!node.quit && g_stop == 0) {
    VNHPollCommunication();
    DriveStream();
    input.Poll(1);
  }
  if (node.stream != 0 && !node.closing) {
    CloseStream();
    for (int i = 0; i < 2000 && node.stream != 0; ++i) {
      VNHPollCommunication();
      poll(nullptr, 0, 1);
    }
  }
  Report("bye");
  node.instance.Close();
  return 0;
}
