// The screen saver's settings (sound, pumpkins, speed), which the screen saver itself keeps below
// HKEY_CURRENT_USER (kSettingsKey) as the user changes them, with the setup's record of the screen
// saver chosen before: the uninstaller takes them away.
#pragma once

// Deletes the settings' key, then the publisher's when nothing else of the publisher is left in it;
// with the user's own rights, and not at all without them.
void RemoveSaverSettings();
