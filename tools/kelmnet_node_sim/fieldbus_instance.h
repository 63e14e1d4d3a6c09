#pragma once
// What the node simulator and the variable reader share: a library instance
// of their own on the TCP/IP channel, and the counted names and values of the
// library's interface as text.
//
// Each program is a PC of its own: unless the caller's environment names them
// already, it gets a shared segment and a settings folder of its own, which
// it removes at its end, so that several can run side by side on loopback.

#include <cstdint>
#include <string>
#include <vector>

#include "varnht32/include/varnht32.h"

namespace kelmnet_sim {

struct InstanceOptions {
  std::string address;  // own IP address on the TCP/IP channel; "" see below
  int port = 0;         // UDP port; 0 the library's
  int channel = 5;      // number of the TCP/IP channel
  // Without an address (here or in VARNHT32_UDP_ADDRESS) the program takes
  // the first loopback host 127.0.0.N, N from `first_host` on by
  // `host_step`, whose UDP port is free and that is not `avoid_host`, so that
  // a node and a reader started with their defaults meet on one machine.
  int first_host = 2;
  int host_step = 1;
  int avoid_host = 0;
};

class FieldbusInstance {
 public:
  explicit FieldbusInstance(std::string program) : program_(std::move(program)) {}
  ~FieldbusInstance();
  FieldbusInstance(const FieldbusInstance&) = delete;
  FieldbusInstance& operator=(const FieldbusInstance&) = delete;

  // Sets the environment, attaches this thread to the library and turns the
  // TCP/IP channel on. False with a message in `error` when it cannot.
  bool Open(const InstanceOptions& options, std::string* error);
  // Detaches and removes what Open made; also done by the destructor.
  void Close();
  // The node ends at once as a lost node does: no close, no farewell.
  [[noreturn]] void Abandon(int exit_code);

 private:
  void Set(const char* name, const std::string& value);
  void RemoveOwnFiles();

  struct SavedVariable {
    const char* name;
    bool was_set;
    std::string value;
  };

  std::string program_;
  bool attached_ = false;
  std::string own_segment_;
  std::string own_settings_;
  std::vector<SavedVariable> saved_;
};

// The loopback address that InstanceOptions describes, or "" when every
// candidate's port is taken.
std::string FreeLoopbackAddress(const InstanceOptions& options);

VNHIdentifier Identifier(const std::string& text);
std::string Text(const VNHIdentifier& id);

// A value as the programs take it on their command lines: "true"/"false" a
// boolean, a whole number an integer, a number with a point or exponent a
// real, anything else (quotes taken off) a string of up to 255 characters.
// False, with the reason in `error`, for a whole number beyond 32 bits or a
// longer string.
struct NodeValue {
  std::uint32_t type = 0;  // VNH_VALUE_*; 0 none
  std::int32_t integer = 0;
  float real = 0;
  std::string text;
};

bool ParseValue(const std::string& text, NodeValue* value, std::string* error);
std::string FormatValue(const NodeValue& value);

// The first value of a container (pair 1); false when it has none or a kind
// that has no NodeValue form, with the container's text in `shown` either way.
bool TakeValue(const VNHVariableValue& container, NodeValue* value, std::string* shown);
// Puts the value into pair 1 of the container; the library's status.
std::int32_t PutValue(const NodeValue& value, VNHVariableValue* container);

}  // namespace kelmnet_sim
