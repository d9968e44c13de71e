// The desktop backend: an SDL window shown full-screen and letterboxed, its events, the audio device.
#pragma once

namespace platform {

// Installs the SDL backend as the active one.
void install_sdl_backend();

}  // namespace platform
