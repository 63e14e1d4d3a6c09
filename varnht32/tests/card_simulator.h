#pragma once
// The card-and-bus simulator program, started for a test and ended with it:
// its cards stand behind Unix-domain sockets that the library opens in place
// of the card devices; the test steers its faults over its control socket.

#include <sys/types.h>

#include <string>

namespace vnh_test {

class CardSimulator {
 public:
  // `program` is the simulator's path; the bus gets `cards` cards.
  CardSimulator(const char* program, int cards);
  ~CardSimulator();
  CardSimulator(const CardSimulator&) = delete;
  CardSimulator& operator=(const CardSimulator&) = delete;

  bool ready() const { return ready_; }
  // The value for VARNHT32_CARD_DEVICE: card n is this prefix and n.
  std::string DevicePrefix() const { return folder_ + "/kelmnet"; }
  // One line of the control protocol and its answer.
  std::string Control(const std::string& line);
  // A number from the card's stats line, by its name; -1 when missing.
  long Stat(int card, const std::string& name);

 private:
  std::string folder_;
  int cards_ = 0;
  pid_t pid_ = -1;
  int stdin_ = -1;
  int control_ = -1;
  bool ready_ = false;
};

}  // namespace vnh_test
