// A new device starts with no open searches, loaded libraries, thread or
// event handles. (Searches end with FindClose only, as on the device, so
// they do not join CloseHandle.)
#include "device/internal.h"
#include "kernel/modules.h"
#include "kernel/paths.h"
#include "kernel/sync.h"
#include "kernel/thread.h"

namespace wce::internal {

void KernelReset() {
  FindSearchesReset();
  ModulesReset();
  ThreadHandlesReset();
  EventsReset();
}

}  // namespace wce::internal
