// Registers the pictures and the font compiled into the executable (the build generates the body).
#pragma once

void register_embedded_files();
