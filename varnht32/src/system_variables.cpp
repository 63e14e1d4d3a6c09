#include "varnht32/src/system_variables.h"

#include <cstdlib>

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/settings_file.h"
#include "varnht32/src/trace.h"

namespace vnh {

namespace {

constexpr std::string_view kRevisionBanner = "Varnholtnet revision 2.1-3";

constexpr VariableDefinition Boolean(std::string_view name, bool value) {
  return {name, kVariableBoolean, value, 0, 0.0f, {}, 0, 0};
}
constexpr VariableDefinition Integer(std::string_view name, std::int32_t value, double minimum,
                                     double maximum) {
  return {name, kVariableInteger, false, value, 0.0f, {}, minimum, maximum};
}
constexpr VariableDefinition Real(std::string_view name, float value, double minimum,
                                  double maximum) {
  return {name, kVariableReal, false, 0, value, {}, minimum, maximum};
}
constexpr VariableDefinition String(std::string_view name, std::string_view value) {
  return {name, kVariableString, false, 0, 0.0f, value, 0, 0};
}

// In the order of `Setting`.
constexpr VariableDefinition kLibraryVariables[] = {
    Boolean("testboolean", false),
    Integer("testinteger", 0, -kIntegerLimit, kIntegerLimit),
    Real("testreal", 0.0f, -kRealLimit, kRealLimit),
    String("teststring", ""),
    Boolean("PoolAllowed", true),
    String("VNHSoftwareRevision", kRevisionBanner),
    String("VNHServerAppName", ""),
    Boolean("KelmnetHexOutput", false),
    Boolean("KelmnetSignedRegs", false),
    Boolean("KelmnetDBGWritelns9", false),
    Boolean("KelmnetDBGWritelns2", false),
    Boolean("KelmnetDBGWritelns5", false),
    Integer("KelmnetTransTimeOut", 15000, 3000, 3600000),
    Integer("KelmnetReconnTimeOut", 20000, 1000, 360000),
    Integer("KelmnetServerIntType", 5, 2, 5),
    Boolean("VarnholtnetSimulate3", false),
    Boolean("EnableKelmnetTCPIP", false),
    Integer("KelmnetTCPIPNode", 0, 0, 127),
    Integer("KelmnetTCPIPChannel", 5, 1, 255),
    String("KelmnetTCPIPNetwork", ""),
    Boolean("EnableKelmnet1", false),
    Boolean("EnableKelmnet2", false),
    Boolean("EnableKelmnet3", false),
    Boolean("EnableKelmnet4", false),
    Integer("Kelmnet1MemoryAddr", 0xD0000, 0xC0000, 0xDF000),
    Integer("Kelmnet2MemoryAddr", 0xD1000, 0xC0000, 0xDF000),
    Integer("Kelmnet3MemoryAddr", 0xC6000, 0xC0000, 0xDF000),
    Integer("Kelmnet4MemoryAddr", 0xC7000, 0xC0000, 0xDF000),
    Integer("Kelmnet1NodeAddress", 2, 2, 127),
    Integer("Kelmnet2NodeAddress", 2, 2, 127),
    Integer("Kelmnet3NodeAddress", 2, 2, 127),
    Integer("Kelmnet4NodeAddress", 2, 2, 127),
    Integer("SetRemoteTimeEnable", 0, 0, 2),
};
static_assert(std::size(kLibraryVariables) == kSettingCount);

constexpr std::size_t Index(Setting s) { return static_cast<std::size_t>(s); }
const VariableDefinition& DefinitionOf(Setting s) { return kLibraryVariables[Index(s)]; }

void Define(Setting s) {
  std::string problem;
  Shared().settings[Index(s)] = SystemVariables().DefineByLibrary(DefinitionOf(s), &problem);
  if (!problem.empty()) Trace("%s", problem.c_str());
}

void DefineRange(Setting first, Setting last) {
  for (std::size_t i = Index(first); i <= Index(last); ++i) Define(static_cast<Setting>(i));
}

// The file goes where the next start will not find it; a rename cannot cross
// file systems, a copy can.
void MoveToDump(const std::string& path) {
  if (FileRename(path, kSettingsDumpName)) return;
  if (!FileCopy(path, kSettingsDumpName) || !FileDelete(path)) {
    Trace("System variables: unable to move '%s' to '%s'", path.c_str(), kSettingsDumpName);
  }
}

void LoadFile(const std::string& path) {
  if (!FileExists(path)) return;  // every variable keeps its default
  if (FileSizeOf(path) > kSettingsFileMaxBytes) {
    Trace("System variables: '%s' is larger than %lld bytes: not read", path.c_str(),
          static_cast<long long>(kSettingsFileMaxBytes));
    return;
  }
  std::string contents;
  if (!ReadWholeFile(path, contents)) {
    Trace("System variables: unable to read '%s'", path.c_str());
    return;
  }
  SettingsText text = ParseSettings(contents);
  for (const std::string& line : text.traces) Trace("%s", line.c_str());
  VariableTable table = SystemVariables();
  // The library's own variables always find room after the file's.
  constexpr auto reserved = static_cast<std::uint32_t>(kSettingCount - Index(Setting::kPoolAllowed));
  for (const SettingsEntry& entry : text.entries) {
    std::string problem;
    table.DefineFromFile(entry, reserved, &problem);
    if (!problem.empty()) Trace("%s", problem.c_str());
  }
  if (text.bad_type_letter) MoveToDump(path);
}

}  // namespace

VariableTable SystemVariables() {
  // Callers hold the library mutex, which also keeps this process's threads
  // apart. A new attach may map another segment: the index starts again.
  static VariableIndex index;
  static std::uint32_t indexed_attach = 0;
  if (indexed_attach != AttachGeneration()) {
    index.Clear();
    indexed_attach = AttachGeneration();
  }
  return VariableTable(SharedHeap(), Shared().variables, &index);
}

bool SettingOn(Setting s) {
  return ReadBoundBoolean(SharedHeap(), Shared().settings[Index(s)], DefinitionOf(s).boolean);
}

std::int32_t SettingInteger(Setting s) {
  return ReadBoundInteger(SharedHeap(), Shared().settings[Index(s)], DefinitionOf(s).integer);
}

float SettingReal(Setting s) {
  return ReadBoundReal(SharedHeap(), Shared().settings[Index(s)], DefinitionOf(s).real);
}

std::string_view SettingText(Setting s) {
  return ReadBoundText(SharedHeap(), Shared().settings[Index(s)], DefinitionOf(s).text);
}

std::string_view SettingName(Setting s) { return DefinitionOf(s).name; }

std::string SettingsFilePath() {
  const char* env = std::getenv(kSettingsDirectoryEnvironment);
  std::string folder = (env != nullptr && *env != '\0') ? env : ModuleDirectory();
  return JoinPath(folder, kSettingsFileName);
}

void ReadSettingsFile() {
  if (!SystemVariables().SetUp()) return;
  DefineRange(Setting::kTestBoolean, Setting::kTestString);
  LoadFile(SettingsFilePath());
  Define(Setting::kPoolAllowed);
  ApplySettings();
}

void DefineLibraryVariables() { DefineRange(Setting::kSoftwareRevision, Setting::kSetRemoteTimeEnable); }

std::int32_t WriteSettingsFile() {
  return ReplaceWholeFile(SettingsFilePath(), SystemVariables().FormatFile()) ? 1 : -44;
}

void ApplySettings() { SharedHeap().SetPoolAllowed(SettingOn(Setting::kPoolAllowed)); }

}  // namespace vnh
