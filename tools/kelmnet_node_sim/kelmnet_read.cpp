// kelmnet_read: reads one named variable from a Kelmnet node on the TCP/IP
// channel and prints it as "NAME = VALUE".
//
//   kelmnet_read [--address A.B.C.D] [--port N] [--channel N] [--timeout MS] NODE NAME
//
// NODE is the node's address as a connection names it: a host number of the
// channel's network (3 for 127.0.0.3 when the own address is 127.0.0.2) or a
// full IP address. Without --address the reader takes a free loopback
// address of its own (127.0.0.127 and down, never the node's), so that it
// runs beside a node simulator on the same machine:
//
//   kelmnet_node_sim --address 127.0.0.7 --variable SPEED=42 &
//   kelmnet_read 7 SPEED Exit status 0 with the value printed; 1 when the node or
// the variable cannot be reached, with the reason on standard error; 2 for a
// wrong command line.

#include <arpa/inet.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/kelmnet_node_sim/fieldbus_instance.h"

namespace {

using Clock = std::chrono::steady_clock;

// The local variable that the read's value is written to.
constexpr const char* kLocalName = "READ";
constexpr std::uint32_t kReadAction = 1;

struct Reading {
  bool done = false;
  std::int32_t status = 0;
  bool have_value = false;
  std::string shown;
} g_reading;

void VNH_CALL NoVariable(const VNHIdentifier*, VNHVariableValue*, std::int32_t* status) {
  *status = VNH_ILLEGAL_IDENTIFIER;
}

void VNH_CALL TakeReadValue(const VNHIdentifier* name, VNHVariableValue* container,
                            std::int32_t* status) {
  if (kelmnet_sim::Text(*name) != kLocalName) {
    *status = VNH_ILLEGAL_IDENTIFIER;
    return;
  }
  kelmnet_sim::NodeValue value;
  kelmnet_sim::TakeValue(*container, &value, &g_reading.shown);
  g_reading.have_value = true;
  *status = VNH_SUCCESS;
}

void VNH_CALL ReadDone(std::uint32_t* user_value, const VNHActionResult* result) {
  if (*user_value != kReadAction) return;
  g_reading.done = true;
  g_reading.status = result->status;
}

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr,
               "kelmnet_read: %s\n"
               "usage: kelmnet_read [--address A.B.C.D] [--port N] [--channel N] [--timeout MS]"
               " NODE NAME\n",
               problem.c_str());
  std::exit(2);
}

long Number(const std::string& text, long low, long high, const char* what) {
  char* end = nullptr;
  long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < low || n > high) {
    Usage(std::string(what) + " is a number from " + std::to_string(low) + " to " +
          std::to_string(high));
  }
  return n;
}

// Polls the library until `done` says so or the time is up.
template <class Done>
bool PollUntil(Clock::time_point deadline, Done done) {
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    VNHPollCommunication();
    poll(nullptr, 0, 1);
  }
  return true;
}

int Fail(kelmnet_sim::FieldbusInstance& instance, const std::string& message) {
  std::fprintf(stderr, "kelmnet_read: %s\n", message.c_str());
  instance.Close();
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  kelmnet_sim::InstanceOptions options;
  long timeout_ms = 5000;
  std::vector<std::string> operands;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      operands.push_back(arg);
      continue;
    }
    if (i + 1 >= argc) Usage(arg + " needs a value");
    std::string value = argv[++i];
    if (arg == "--address") {
      in_addr parsed{};
      if (inet_pton(AF_INET, value.c_str(), &parsed) != 1) Usage(value + " is not an IPv4 address");
      options.address = value;
    } else if (arg == "--port") {
      options.port = static_cast<int>(Number(value, 1, 65535, "the port"));
    } else if (arg == "--channel") {
      options.channel = static_cast<int>(Number(value, 1, 255, "the channel"));
    } else if (arg == "--timeout") {
      timeout_ms = Number(value, 1, 600000, "the time-out");
    } else {
      Usage("no option " + arg);
    }
  }
  if (operands.size() != 2) Usage("give the node and the variable's name");
  const std::string& node = operands[0];
  const std::string& name = operands[1];
  // An identifier holds 32 characters: a longer text would be cut to another name.
  for (const std::string& text : operands) {
    if (text.empty() || text.size() > sizeof VNHIdentifier{}.text) {
      Usage("\"" + text + "\" is not 1 to 32 characters long");
    }
  }

  // The node's own loopback host is not ours to take.
  options.first_host = 127;
  options.host_step = -1;
  {
    in_addr parsed{};
    char* end = nullptr;
    long host = std::strtol(node.c_str(), &end, 10);
    if (!node.empty() && *end == '\0') {
      options.avoid_host = static_cast<int>(host);
    } else if (inet_pton(AF_INET, node.c_str(), &parsed) == 1 &&
               (ntohl(parsed.s_addr) >> 8) == 0x7F0000) {
      options.avoid_host = static_cast<int>(ntohl(parsed.s_addr) & 0xFF);
    }
  }

  kelmnet_sim::FieldbusInstance instance("kelmnet_read");
  std::string error;
  if (!instance.Open(options, &error)) return Fail(instance, error);
  // A reader serves nobody.
  VNHDisableServerEntity();
  std::int32_t s1 = 0, s2 = 0, s3 = 0;
  VNHSetVariableCallBacks(NoVariable, TakeReadValue, &s1);
  VNHSetAsyncActionCallBack(ReadDone, &s2);
  VNHInitCommunication(&s3);
  if (s1 != VNH_SUCCESS || s2 != VNH_SUCCESS || s3 != VNH_SUCCESS) {
    return Fail(instance, "the fieldbus library cannot start communication");
  }

  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  VNHIdentifier channel = kelmnet_sim::Identifier(std::to_string(options.channel));
  VNHIdentifier remote_node = kelmnet_sim::Identifier(node);
  VNHHandle connection = 0;
  std::int32_t status = 0;
  VNHDefineConnection(&channel, &remote_node, &connection, &status);
  if (status != VNH_SUCCESS) {
    return Fail(instance, "no connection to node " + node + " (" + std::to_string(status) + ")");
  }
  std::int32_t up = 0;
  if (!PollUntil(deadline, [&] { return (up = VNHConnectionStatus(&connection)) != 0; }) ||
      up != VNH_SUCCESS) {
    VNHReleaseConnection(&connection, &status);
    return Fail(instance, "node " + node + " does not answer (" + std::to_string(up) + ")");
  }

  VNHIdentifier remote = kelmnet_sim::Identifier(name);
  VNHIdentifier local = kelmnet_sim::Identifier(kLocalName);
  VNHHandle action = kReadAction;
  VNHReadNamedVariable(&connection, &remote, &local, nullptr, &action, &status);
  if (status != VNH_SUCCESS) {
    VNHReleaseConnection(&connection, &status);
    return Fail(instance, "\"" + name + "\" cannot be read (" + std::to_string(status) + ")");
  }
  bool finished = PollUntil(deadline, [] { return g_reading.done; });
  VNHReleaseConnection(&connection, &status);
  if (!finished) return Fail(instance, "node " + node + " did not answer the read in time");
  if (g_reading.status != VNH_SUCCESS || !g_reading.have_value) {
    return Fail(instance, "node " + node + " refused to give \"" + name + "\" (" +
                              std::to_string(g_reading.status) + ")");
  }
  std::printf("%s = %s\n", name.c_str(), g_reading.shown.c_str());
  instance.Close();
  return 0;
}
