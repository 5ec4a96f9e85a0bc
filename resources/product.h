// Names of the product that the setup, the uninstaller and the screen saver share.
#pragma once

#include "product_version.h"

// How "Apps & features" lists the product.
const char kProductName[] = PRODUCT_NAME;
const char kPublisherName[] = PUBLISHER_NAME;

// The uninstaller's switch for removing without any box (its quiet command line in the entry).
const char kQuietRemovalSwitch[] = "/S";

// Below HKEY_CURRENT_USER: the publisher's key and the screen saver's own, which holds its settings.
const char kPublisherKey[] = "Software\\" PUBLISHER_NAME;
const char kSettingsKey[] = "Software\\" PUBLISHER_NAME "\\Marigold";
