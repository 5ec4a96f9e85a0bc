// Names of the product that the setup, the uninstaller and the screen saver share.
#pragma once

// The folder below the Windows directory that holds the pictures, the sound and the uninstaller.
const char kAssetFolder[] = "marigoldfiles";

// How "Apps & features" lists the product.
const char kProductName[] = "Marigold Screen Saver";
const char kProductVersion[] = "1.00";
const char kPublisherName[] = "LUMAVERT";

// The uninstaller's switch for removing without any box (its quiet command line in the entry).
const char kQuietRemovalSwitch[] = "/S";

// Below HKEY_CURRENT_USER: the publisher's key and the screen saver's own, which holds its settings.
const char kPublisherKey[] = "Software\\LUMAVERT";
const char kSettingsKey[] = "Software\\LUMAVERT\\Marigold";
