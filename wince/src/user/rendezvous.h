// Where the processes of one device meet, so that FindWindowW and
// SetForegroundWindow reach windows of another process: the first process
// with a top-level window serves a Unix socket for its device folder from a
// small thread of its own; the others connect to ask it to find a window or
// to bring one to the front.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace wce::user {

// This device's folder (empty: no rendezvous, FindWindowW sees only this
// process). Stops serving the previous one.
void RendezvousSetFolder(const std::string& deviceDir);
// Starts serving this process's windows unless another live process of the
// device already does (or there is no folder). Cheap when already serving.
void RendezvousPublish();
// Stops the serving thread and removes the socket; harmless when not serving.
void RendezvousStopServing();

// The socket of a device folder: "<folder>/shell.sock", or, when that is too
// long for a socket address, a name derived from the folder in
// $XDG_RUNTIME_DIR or /tmp.
std::string RendezvousSocketPath(const std::string& deviceDir);

struct RemoteWindowRef {
  std::string socket;  // where its process serves
  uint64_t id = 0;     // its handle in that process
};
// Asks the process serving this device, unless that is this one. Class: a
// name (any case) or null; title: exact or null.
std::optional<RemoteWindowRef> RendezvousFind(LPCWSTR className, LPCWSTR title);
// Asks the owner of a remote window to bring it to the front.
bool RendezvousRaise(const RemoteWindowRef& window);

// --- what the serving thread asks of the window manager ---
// 0 when no top-level window of this process matches.
uint64_t ServeFind(const std::optional<std::wstring>& className, const std::optional<std::wstring>& title);
bool ServeRaise(uint64_t id);

}  // namespace wce::user
