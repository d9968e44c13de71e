// Looking the GL entry points up through the context's loader.
#include "platform/gl/gl_api.h"

namespace platform::gl {

bool load_api(proc_loader loader, api &out, std::string &error) {
    api loaded;
#define SALTBURST_GL_LOAD(type, name)                         \
    loaded.name = reinterpret_cast<type>(loader("gl" #name)); \
    if (!loaded.name) {                                       \
        error = "no gl" #name;                                \
        return false;                                         \
    }
    SALTBURST_GL_FUNCTIONS(SALTBURST_GL_LOAD)
#undef SALTBURST_GL_LOAD
    out = loaded;
    return true;
}

}  // namespace platform::gl
