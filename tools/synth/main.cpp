// Renders the game's sound effects and music into a folder as OGG Vorbis files.
#include <cmath>
#include <cstdio>
#include <string>

#include "ogg_writer.h"
#include "sounds.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const synth::sound_recipe &r : synth::sound_recipes()) {
        const synth::clip c = r.render();
        std::string error;
        if (!synth::write_ogg(folder + "/" + r.file, c, 0.4f, error)) {
            std::fprintf(stderr, "synth: %s\n", error.c_str());
            return 1;
        }
        std::printf("%-18s %8.3f s  %d ch  peak %6.2f dBFS\n", r.file.c_str(),
                    static_cast<double>(c.frames()) / synth::sample_rate, c.channels(),
                    20.0 * std::log10(synth::peak(c)));
    }
    return 0;
}
