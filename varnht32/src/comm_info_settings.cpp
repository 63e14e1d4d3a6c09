#include "varnht32/src/comm_info_settings.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "varnht32/src/library_strings.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/system_variables.h"

namespace vnh {

namespace {

constexpr Setting kEnables[] = {Setting::kEnableKelmnet1, Setting::kEnableKelmnet2,
                                Setting::kEnableKelmnet3, Setting::kEnableKelmnet4,
                                Setting::kEnableTcpIp};
constexpr Setting kNodeAddresses[] = {Setting::kKelmnet1NodeAddress, Setting::kKelmnet2NodeAddress,
                                      Setting::kKelmnet3NodeAddress, Setting::kKelmnet4NodeAddress};

std::string_view NetworkOf(const VNHCommInfoForm& form) {
  std::size_t n = form.network_length < sizeof form.network ? form.network_length : sizeof form.network;
  return FormText(form.network).substr(0, n);
}

std::string DecimalText(std::int32_t value) { return std::to_string(value); }

// Decimal text with blanks around it; false for anything else.
bool ParseDecimal(std::string_view text, std::int32_t* value) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

class Assigner {
 public:
  explicit Assigner(CommInfoOutcome& outcome) : outcome_(outcome) {}

  void Assign(Setting setting, const VariableValue& value) {
    Report(setting, SystemVariables().Assign(SettingName(setting), value));
  }

  void Report(Setting setting, std::int32_t status) {
    outcome_.changed = true;
    if (status == 1) {
      ApplySettings();
      return;
    }
    outcome_.refused = true;
    std::string name(SettingName(setting));
    char text[200];
    if (status == -38 || status == -30) {
      std::snprintf(text, sizeof text, "%s: %s", name.c_str(),
                    LibraryString(status == -38 ? kStrValueOutOfRange : kStrInvalidValue));
    } else {
      std::snprintf(text, sizeof text, "%s: %s: %ld", name.c_str(), LibraryString(kStrUnknownError),
                    static_cast<long>(status));
    }
    outcome_.messages.push_back(text);
  }

 private:
  CommInfoOutcome& outcome_;
};

// An integer typed as text: a text that is no number is refused as invalid.
void AssignDecimal(Assigner& assigner, Setting setting, std::string_view text) {
  std::int32_t value = 0;
  if (!ParseDecimal(text, &value)) {
    assigner.Report(setting, -30);
    return;
  }
  assigner.Assign(setting, VariableValue::Integer(value));
}

}  // namespace

void FillCommInfoForm(VNHCommInfoForm& form, std::uint32_t own) {
  std::memset(&form, 0, sizeof form);
  for (int i = 0; i < 5; ++i) form.enable[i] = SettingOn(kEnables[i]) ? 1 : 0;
  for (int i = 0; i < kCardChannels; ++i) {
    SetFormText(form.node_address[i], DecimalText(SettingInteger(kNodeAddresses[i])));
  }
  SetFormText(form.own_address, own != 0 ? DottedAddress(own) : std::string(LibraryString(kStrNone)));
  SetFormText(form.tcpip_caption,
           LibraryString(kStrChannel) + DecimalText(SettingInteger(Setting::kTcpIpChannel)));
  SetFormText(form.timeout, DecimalText(SettingInteger(Setting::kTransTimeOut)));
  std::string network(SettingText(Setting::kTcpIpNetwork));
  // Without a network of its own the channel uses the own address's.
  if (network.empty() && own != 0) network = DottedAddress(own & 0xFFFFFF00u);
  SetFormText(form.network, network);
  form.network_length = static_cast<std::uint32_t>(FormText(form.network).size());
}

CommInfoOutcome ApplyCommInfoForm(const VNHCommInfoForm& before, const VNHCommInfoForm& after) {
  CommInfoOutcome outcome;
  Assigner assigner(outcome);
  for (int i = 0; i < 5; ++i) {
    if ((before.enable[i] != 0) != (after.enable[i] != 0)) {
      assigner.Assign(kEnables[i], VariableValue::Boolean(after.enable[i] != 0));
    }
  }
  for (int i = 0; i < kCardChannels; ++i) {
    if (FormText(before.node_address[i]) != FormText(after.node_address[i])) {
      AssignDecimal(assigner, kNodeAddresses[i], FormText(after.node_address[i]));
    }
  }
  if (FormText(before.timeout) != FormText(after.timeout)) {
    AssignDecimal(assigner, Setting::kTransTimeOut, FormText(after.timeout));
  }
  std::string_view network = NetworkOf(after);
  if (NetworkOf(before) != network) {
    std::uint32_t address = 0;
    if (ParseDottedAddress(std::string(network), &address)) {
      assigner.Assign(Setting::kTcpIpNetwork, VariableValue::String(network));
    } else {
      assigner.Report(Setting::kTcpIpNetwork, -30);
    }
  }
  if (outcome.changed && WriteSettingsFile() != 1) {
    // The values hold for this run but would be lost at the next start: the
    // caller must not hear that everything was taken.
    outcome.refused = true;
    outcome.messages.push_back(LibraryString(kStrUnableToWriteSettings));
  }
  return outcome;
}

}  // namespace vnh
