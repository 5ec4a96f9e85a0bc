// Identifiers of the resources that the installation tests carry (shared by the .rc and the tests).
#pragma once

#define ID_BLOB 10
#define ID_EMPTY 11
#define ID_IMAGE_OLDER 12
#define ID_IMAGE_NEWER 13
#define ID_PICTURE 30
#define ID_ABSENT 99
