#include "device/internal.h"
#include "shell/shell_internal.h"

namespace wce::internal {

void ShellReset() {
  shell::PowerReset();
  shell::ResourcesReset();
  shell::ProcessesReset();
  shell::DisplayReset();
}

}  // namespace wce::internal
