// Reset hooks each area of the device implements; DeviceStart/DeviceStop call them.
#pragma once

namespace wce::internal {

void UserReset();     // user/: windows, classes, queues, timers dropped
void GdiReset();      // gdi/: every GDI object dropped
void KernelReset();   // kernel/: open searches, thread handles, last errors dropped
void AudioReset();    // audio/: every voice closed (no callbacks)

}  // namespace wce::internal
