// Frames from the bus: each input is a series of records, [minutes][33 frame
// bytes], handed to card 1 by its driver as received frames; a record first
// moves the clock on by its minutes (partial messages age). The card answers
// every other request as a card on a bus with two nodes would, except where a
// record's first byte has bit 7 set: then its 33 bytes are not a frame but
// what the card answers next, as the data of its next command answer (the
// version text, the node-status table, a node change) and, in the first byte,
// the index of the next buffer it hands out.
// One library instance serves every input (see fuzz_library.h for how to
// reproduce a finding that needs the inputs before it).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "platform/base/little_endian.h"
#include "varnht32/fuzz/fuzz_library.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/card_channel.h"
#include "varnht32/src/card_driver.h"
#include "varnht32/src/link_settings.h"

namespace {

struct Pending {
  std::uint8_t minutes;
  std::uint8_t frame[vnh::kFrameBytes];
};
std::deque<Pending> g_frames;
std::deque<Pending> g_answer_data;
std::deque<std::uint8_t> g_answers;
std::uint32_t g_index = 0;

class FuzzCard : public vnh::CardDevice {
 public:
  bool Control(std::uint32_t code, vnh::DriverBytes& record) override {
    vnh::DriverRecord r = vnh::DecodeDriverRecord(record);
    r.result = vnh::kDriverDone;
    switch (code) {
      case vnh::kRequestCardCommand:
        Answer(r.code);
        break;
      case vnh::kRequestCardAnswer:
        if (g_answers.empty()) {
          r.result = vnh::kDriverNothing;
          break;
        }
        r.code = g_answers.front();
        g_answers.pop_front();
        std::memset(r.data, 0, sizeof r.data);
        if (!g_answer_data.empty()) {
          std::memcpy(r.data, g_answer_data.front().frame, sizeof r.data);
          g_answer_data.pop_front();
        } else if (r.code == vnh::kAnswerNodeStatus) {
          r.data[0] = 0x30;  // nodes 2 and 3
        }
        break;
      case vnh::kRequestGetReceived:
        if (g_frames.empty()) {
          r.result = vnh::kDriverNothing;
          break;
        }
        vnh_fuzz::AdvanceClock(g_frames.front().minutes * 60000u);
        std::memcpy(r.data, g_frames.front().frame, vnh::kFrameBytes);
        r.index = g_index++;
        g_frames.pop_front();
        break;
      default:
        r.index = g_answer_data.empty() ? g_index++ % 15 : g_answer_data.front().frame[0];
        break;
    }
    vnh::EncodeDriverRecord(r, record);
    return true;
  }

 private:
  static void Answer(std::uint8_t command) {
    switch (command) {
      case vnh::kCardStartCommunication: g_answers.push_back(vnh::kAnswerStarted); break;
      case vnh::kCardVersion: g_answers.push_back(vnh::kAnswerVersion); break;
      case vnh::kCardAllNodeStatus: g_answers.push_back(vnh::kAnswerNodeStatus); break;
      case vnh::kCardAnyNodeChange: g_answers.push_back(vnh::kAnswerNodeChange); break;
      default: break;
    }
  }
};

std::unique_ptr<vnh::CardDevice> OpenFuzzCard(int card) {
  return card == 1 ? std::make_unique<FuzzCard>() : nullptr;
}

void Configure() {
  vnh::SetCardDeviceOpener(OpenFuzzCard);
  vnh_fuzz::SetSetting("EnableKelmnet1", 1, 1);
  vnh_fuzz::SetSetting("Kelmnet1NodeAddress", 2, 2);
}

bool Drained() { return g_frames.empty(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = vnh_fuzz::StartLibrary(Configure);
  if (!started) std::abort();
  constexpr std::size_t kRecord = 1 + vnh::kFrameBytes;
  for (std::size_t at = 0; at < size; at += kRecord) {
    Pending p{};
    p.minutes = data[at] % 8;
    std::size_t n = size - at - 1 < vnh::kFrameBytes ? size - at - 1 : vnh::kFrameBytes;
    if (at + 1 <= size) std::memcpy(p.frame, data + at + 1, n);
    if ((data[at] & 0x80) != 0) {
      g_answer_data.push_back(p);
      continue;
    }
    g_frames.push_back(p);
  }
  vnh_fuzz::PollUntil(Drained, 10000);
  vnh_fuzz::AdvanceClock(1);
  VNHPollCommunication();
  // Answers are asked for only now and then; what this input left unasked
  // does not pass to the next.
  g_answer_data.clear();
  return 0;
}
