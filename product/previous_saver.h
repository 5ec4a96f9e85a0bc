// Which screen saver was active before Marigold became the active one, so that removing Marigold
// can put it back.
#pragma once

#include <windows.h>

#include "cstring.h"

// The screen saver named by "SCRNSAVE.EXE" in the "boot" section of "system.ini" (Windows keeps it
// in the user's profile); empty when none is chosen.
CString ChosenScreenSaver();

// Remembers the active screen saver (empty when none, or when screen saving is off) for the
// current user, with the user's own rights, unless that is `ourSaver` itself: a re-run must not take
// Marigold for the one that was there before it. false when it could not be written, or the user's
// rights could not be had (then nothing is written).
bool RecordPreviousScreenSaver(LPCSTR ourSaver);

// When `ourSaver` is the chosen screen saver, makes the remembered one active again (when its file
// still exists), or else clears the choice and switches screen saving off, with the user's own
// rights. Another chosen screen saver is left alone. false when the setting could not be changed, or
// the user's rights could not be had (then nothing is changed).
bool RestorePreviousScreenSaver(LPCSTR ourSaver);
