// VNHShowCommInfoDialog: the settings dialog. Its window lives in a library of
// its own, loaded the first time the dialog is asked for, so that programs
// that never show it need no window system. The library mutex is held only
// to read and to assign the settings, never while the dialog or a message is
// on the screen.

#include <dlfcn.h>

#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/card_driver.h"
#include "varnht32/src/comm_info_form.h"
#include "varnht32/src/comm_info_settings.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/library_strings.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/trace.h"

using namespace vnh;

namespace {

struct DialogModule {
  VNHRunCommInfoDialogFn run = nullptr;
  VNHShowCommInfoErrorFn show_error = nullptr;
};

// The window library, loaded once and kept: a window system cannot be unloaded
// safely. A failed load is tried again at the next call.
const DialogModule* LoadDialogModule() {
  static std::mutex guard;
  static DialogModule module;
  std::lock_guard<std::mutex> hold(guard);
  if (module.run != nullptr) return &module;
  std::string path = ModuleDirectory() + "/" + kCommInfoLibraryName;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    Trace("Kelmnet:VNHShowCommInfoDialog. Unable to load '%s': %s", path.c_str(),
          why != nullptr ? why : "");
    return nullptr;
  }
  auto run = reinterpret_cast<VNHRunCommInfoDialogFn>(dlsym(handle, kRunCommInfoDialogEntry));
  auto show = reinterpret_cast<VNHShowCommInfoErrorFn>(dlsym(handle, kShowCommInfoErrorEntry));
  if (run == nullptr || show == nullptr) {
    Trace("Kelmnet:VNHShowCommInfoDialog. '%s' lacks its entry points", path.c_str());
    dlclose(handle);
    return nullptr;
  }
  module.run = run;
  module.show_error = show;
  return &module;
}

// The claim on the dialog, machine-wide: one dialog at a time, in any process.
// A claim left by a process that died is taken over.
class DialogClaim {
 public:
  // 1 with the claim (and `form` filled), -1 when another dialog is open, -2
  // when the mutex cannot be had.
  std::int32_t Take(VNHCommInfoForm& form, std::uint32_t own_address) {
    MutexLock lock;
    if (!lock.held()) return -2;
    ProcessIdentity& owner = Shared().settings_dialog;
    if (owner.pid != 0 && ProcessAlive(owner)) return -1;
    owner = ThisProcess();
    held_ = true;
    FillCommInfoForm(form, own_address);
    return 1;
  }
  ~DialogClaim() {
    if (!held_) return;
    MutexLock lock;
    Shared().settings_dialog = ProcessIdentity{0, 0};
  }

 private:
  bool held_ = false;
};

std::int32_t ShowDialog(void* owner) {
  if (CurrentClient() == 0) return -2;
  // The copy as the user edits it, and the values before, to find the changes.
  std::unique_ptr<VNHCommInfoForm[]> copies(new (std::nothrow) VNHCommInfoForm[2]);
  if (!copies) return -4;
  VNHCommInfoForm& before = copies[0];
  VNHCommInfoForm& edited = copies[1];
  DialogClaim claim;
  std::int32_t taken = claim.Take(before, OwnUdpAddress(ConfiguredUdpEndpoint()));
  if (taken != 1) return taken;
  edited = before;
  std::uint8_t cards[kCardChannels];
  // A card can be switched on only when its device opens; it is closed at once.
  for (int i = 0; i < kCardChannels; ++i) cards[i] = OpenCardDevice(i + 1) != nullptr ? 1 : 0;

  const DialogModule* module = LoadDialogModule();
  if (module == nullptr) return -4;
  if (module->run(owner, &edited, cards) != kCommInfoOk) return 1;

  CommInfoOutcome outcome;
  {
    MutexLock lock;
    if (!lock.held()) return -2;
    outcome = ApplyCommInfoForm(before, edited);
  }
  for (const std::string& text : outcome.messages) {
    module->show_error(owner, text.c_str(), LibraryString(kStrConfigurationError));
  }
  return outcome.refused ? 2 : 1;
}

}  // namespace

extern "C" {

VNH_API std::int32_t VNH_CALL VNHShowCommInfoDialog(void* owner_window) {
  return ShowDialog(owner_window);
}

}  // extern "C"
