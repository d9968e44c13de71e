// PLACEHOLDER until the SDL backend lands: runs headless.
#include "platform/sdl/sdl_backend.h"

#include "platform/headless/headless.h"

namespace platform {
void install_sdl_backend() { install_headless(); }
}  // namespace platform
