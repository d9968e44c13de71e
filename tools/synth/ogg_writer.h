// Writes a clip as an OGG Vorbis file with libvorbisenc.
#pragma once

#include <string>

#include "dsp.h"

namespace synth {

// Encodes the clip at the given VBR quality (about 0.4 for the game's sounds) and writes it to path.
// The stream serial number is fixed, so the same clip always gives the same bytes.
// Returns false, with the reason in error, if the encoder or the file fails.
bool write_ogg(const std::string &path, const clip &c, float quality, std::string &error);

}  // namespace synth
