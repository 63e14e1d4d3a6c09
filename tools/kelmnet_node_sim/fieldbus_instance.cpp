#include "tools/kelmnet_node_sim/fieldbus_instance.h"

#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/files.h"

namespace kelmnet_sim {

namespace {

bool Assign(const char* name, const VNHValue& value, std::string* error) {
  VNHIdentifier id = Identifier(name);
  std::int32_t status = 0;
  VNHAssignSystemVariable(&id, &value, &status);
  if (status == VNH_SUCCESS) return true;
  *error = std::string("the setting ") + name + " was refused (" + std::to_string(status) + ")";
  return false;
}

bool SetBoolean(const char* name, bool on, std::string* error) {
  VNHValue v{};
  v.type = VNH_VALUE_BOOLEAN;
  v.value.boolean = on ? 1 : 0;
  return Assign(name, v, error);
}

bool SetInteger(const char* name, std::int32_t n, std::string* error) {
  VNHValue v{};
  v.type = VNH_VALUE_INTEGER;
  v.value.integer = n;
  return Assign(name, v, error);
}

// The library's traces go to standard error: standard output carries what
// the programs report.
void VNH_CALL TraceToErrors(const char* text) {
  std::fputs(text, stderr);
  std::fputc('\n', stderr);
}

bool TraceToStandardError(std::string* error) {
  VNHValue v{};
  v.type = VNH_VALUE_INTEGER;
  v.value.callback = TraceToErrors;
  return Assign("OCPutsCallBack", v, error);
}

}  // namespace

FieldbusInstance::~FieldbusInstance() { Close(); }

bool FieldbusInstance::Open(const InstanceOptions& options, std::string* error) {
  if (std::getenv("VARNHT32_SEGMENT") == nullptr) {
    own_segment_ = "/" + program_ + "." + std::to_string(getpid());
    shm_unlink(own_segment_.c_str());
    Set("VARNHT32_SEGMENT", own_segment_);
  }
  if (std::getenv("VARNHT32_SETTINGS_DIR") == nullptr) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" +
                          program_ + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
      *error = "cannot make a settings folder in " + pattern + ": " + std::strerror(errno);
      return false;
    }
    own_settings_ = buffer.data();
    Set("VARNHT32_SETTINGS_DIR", own_settings_);
  }
  std::string address = options.address;
  if (address.empty() && std::getenv("VARNHT32_UDP_ADDRESS") == nullptr) {
    address = FreeLoopbackAddress(options);
    if (address.empty()) {
      *error = "no loopback address 127.0.0.N has its UDP port free; give one with --address";
      return false;
    }
  }
  if (!address.empty()) Set("VARNHT32_UDP_ADDRESS", address);
  if (options.port != 0) Set("VARNHT32_UDP_PORT", std::to_string(options.port));

  if (InitVarnholtnet() != VNH_SUCCESS) {
    *error = "the fieldbus library cannot be started";
    return false;
  }
  attached_ = true;
  return TraceToStandardError(error) && SetBoolean("EnableKelmnetTCPIP", true, error) &&
         SetInteger("KelmnetTCPIPChannel", options.channel, error);
}

void FieldbusInstance::Close() {
  if (attached_) {
    VNHCloseCommunication();
    CloseVarnholtnet();
    attached_ = false;
  }
  RemoveOwnFiles();
}

void FieldbusInstance::Abandon(int exit_code) {
  RemoveOwnFiles();
  std::fflush(stdout);
  _exit(exit_code);
}

void FieldbusInstance::Set(const char* name, const std::string& value) {
  const char* old = std::getenv(name);
  saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
  setenv(name, value.c_str(), 1);
}

void FieldbusInstance::RemoveOwnFiles() {
  if (!own_segment_.empty()) {
    shm_unlink(own_segment_.c_str());
    own_segment_.clear();
  }
  if (!own_settings_.empty()) {
    RemoveDirTree(own_settings_);
    own_settings_.clear();
  }
  // The next instance of this process starts from the caller's environment.
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->was_set) {
      setenv(it->name, it->value.c_str(), 1);
    } else {
      unsetenv(it->name);
    }
  }
  saved_.clear();
}

std::string FreeLoopbackAddress(const InstanceOptions& options) {
  constexpr int kLibraryPort = 2999;
  int port = options.port;
  if (port == 0) {
    const char* env = std::getenv("VARNHT32_UDP_PORT");
    port = env != nullptr ? std::atoi(env) : 0;
    if (port <= 0 || port > 65535) port = kLibraryPort;
  }
  for (int host = options.first_host; host >= 2 && host <= 254; host += options.host_step) {
    if (host == options.avoid_host) continue;
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return "";
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(0x7F000000u | static_cast<std::uint32_t>(host));
    bool free = bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    if (free) return "127.0.0." + std::to_string(host);
    if (options.host_step == 0) break;
  }
  return "";
}

VNHIdentifier Identifier(const std::string& text) {
  VNHIdentifier id{};
  id.length = static_cast<std::uint32_t>(std::min(text.size(), sizeof id.text));
  std::memcpy(id.text, text.data(), id.length);
  return id;
}

std::string Text(const VNHIdentifier& id) {
  return std::string(id.text, std::min<std::size_t>(id.length, sizeof id.text));
}

bool ParseValue(const std::string& text, NodeValue* value, std::string* error) {
  NodeValue v;
  bool whole = !text.empty() && text.find_first_not_of("+-0123456789") == std::string::npos &&
               text.find_first_of("0123456789") != std::string::npos;
  char* end = nullptr;
  if (text == "true" || text == "false") {
    v.type = VNH_VALUE_BOOLEAN;
    v.integer = text == "true" ? 1 : 0;
  } else if (whole) {
    errno = 0;
    long long n = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0') {
      whole = false;
    } else if (errno != 0 || n < INT32_MIN || n > INT32_MAX) {
      *error = text + " is out of the integer range";
      return false;
    } else {
      v.type = VNH_VALUE_INTEGER;
      v.integer = static_cast<std::int32_t>(n);
    }
  }
  if (v.type == 0 && !text.empty() && text.find_first_of(".eE") != std::string::npos) {
    float f = std::strtof(text.c_str(), &end);
    if (*end == '\0' && end != text.c_str() && std::isfinite(f)) {
      v.type = VNH_VALUE_REAL;
      v.real = f;
    }
  }
  if (v.type == 0) {
    std::string s = text;
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
      s = s.substr(1, s.size() - 2);
    }
    if (s.size() > sizeof(VNHStringItem{}.text) - 1) {
      *error = "a string value has at most 255 characters";
      return false;
    }
    v.type = VNH_VALUE_STRING;
    v.text = s;
  }
  *value = v;
  return true;
}

std::string FormatValue(const NodeValue& value) {
  char buffer[32];
  switch (value.type) {
    case VNH_VALUE_BOOLEAN: return value.integer != 0 ? "true" : "false";
    case VNH_VALUE_INTEGER: return std::to_string(value.integer);
    case VNH_VALUE_REAL:
      std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value.real));
      // A real keeps its point, so that the text reads back as a real.
      if (std::strpbrk(buffer, ".eEn") == nullptr) std::strcat(buffer, ".0");
      return buffer;
    case VNH_VALUE_STRING: return "\"" + value.text + "\"";
    default: return "?";
  }
}

bool TakeValue(const VNHVariableValue& container, NodeValue* value, std::string* shown) {
  const VNHValuePair& p = container.pair[1];
  NodeValue v;
  if (container.pair[0].value.word < 1) {
    *shown = "(no value)";
    return false;
  }
  switch (p.type) {
    case VNH_VALUE_BOOLEAN:
      v.type = p.type;
      v.integer = p.value.boolean != 0 ? 1 : 0;
      break;
    case VNH_VALUE_INTEGER:
      v.type = p.type;
      v.integer = p.value.integer;
      break;
    case VNH_VALUE_REAL:
      v.type = p.type;
      v.real = p.value.real;
      break;
    case VNH_VALUE_STRING:
      if (p.value.string == nullptr) break;
      v.type = p.type;
      v.text.assign(p.value.string->text,
                    std::min<std::size_t>(p.value.string->length, sizeof p.value.string->text));
      break;
    case VNH_VALUE_BIT_STRING:
      if (p.value.bits != nullptr) {
        std::string bits;
        for (std::uint32_t i = 0; i < p.value.bits->count && i / 8 < sizeof p.value.bits->bits; ++i) {
          bits += (p.value.bits->bits[i / 8] >> (i % 8)) & 1 ? '1' : '0';
        }
        *shown = "bits " + bits;
      }
      return false;
    case VNH_VALUE_ARRAY:
      if (p.value.array != nullptr) {
        const VNHArrayItem& a = *p.value.array;
        std::string items;
        for (std::uint32_t i = 0; i < a.count && i < 255; ++i) {
          NodeValue e;
          e.type = a.type;
          e.integer = a.type == VNH_VALUE_BOOLEAN ? static_cast<std::int32_t>(a.element[i].boolean)
                                                  : a.element[i].integer;
          e.real = a.element[i].real;
          items += (i == 0 ? "" : ", ") + FormatValue(e);
        }
        *shown = "[" + items + "]";
      }
      return false;
    default:
      break;
  }
  if (v.type == 0) {
    *shown = "(a value of type " + std::to_string(p.type) + ")";
    return false;
  }
  *shown = FormatValue(v);
  *value = v;
  return true;
}

std::int32_t PutValue(const NodeValue& value, VNHVariableValue* container) {
  container->pair[0].type = 0;
  container->pair[0].value.word = 1;
  VNHValuePair& p = container->pair[1];
  switch (value.type) {
    case VNH_VALUE_BOOLEAN:
      p.type = value.type;
      p.value.boolean = static_cast<std::uint8_t>(value.integer != 0);
      return VNH_SUCCESS;
    case VNH_VALUE_INTEGER:
      p.type = value.type;
      p.value.integer = value.integer;
      return VNH_SUCCESS;
    case VNH_VALUE_REAL:
      p.type = value.type;
      p.value.real = value.real;
      return VNH_SUCCESS;
    case VNH_VALUE_STRING: {
      std::uint32_t slot = 1;
      std::int32_t status = 0;
      VNHAllocateStringInVV(container, &slot, &status);
      if (status != VNH_SUCCESS) return status;
      std::size_t n = std::min(value.text.size(), sizeof p.value.string->text);
      p.value.string->length = static_cast<std::uint32_t>(n);
      std::memcpy(p.value.string->text, value.text.data(), n);
      return VNH_SUCCESS;
    }
    default:
      return VNH_WRONG_VALUE_TYPE;
  }
}

}  // namespace kelmnet_sim
