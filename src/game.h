// Everything the game's routines share: the platform operations, the records and the globals.
#pragma once

#include "assets/assets.h"
#include "feedback/feedback.h"
#include "platform/platform.h"
#include "play/play.h"
#include "shell/shell.h"
