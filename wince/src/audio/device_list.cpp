// The output devices SDL knows, for --list-audio-devices and --audio sdl:NAME.
#include <SDL.h>

#include "device/device.h"

namespace wce {

std::vector<std::string> ListAudioOutputDevices(std::string* error) {
  if (error != nullptr) error->clear();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    if (error != nullptr) *error = SDL_GetError();
    return {};
  }
  std::vector<std::string> names;
  // A negative count means SDL cannot tell (some back ends): list nothing.
  int count = SDL_GetNumAudioDevices(0);
  for (int i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 0);
    if (name != nullptr) names.emplace_back(name);
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return names;
}

}  // namespace wce
