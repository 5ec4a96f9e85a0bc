// The seven files the setup carries, in the order they are installed (the first failure stops the
// rest), with their resource ids and types and where they go below the Windows directory.
#pragma once

#include <windows.h>

#include "setup_ids.h"

struct Payload {
    unsigned id;
    LPCSTR type;
    LPCSTR relativePath;  // below the Windows directory; NULL for the screen saver (named by string 102)
};

const char kAssetFolder[] = "marigoldfiles";

const Payload kPayloads[] = {
    {IDR_SAVER, RT_RCDATA, NULL},
    {IDR_GHOST, "MYBITMAP", "marigoldfiles\\ghost.bmp"},
    {IDR_SKELETON, "MYBITMAP", "marigoldfiles\\skeleton.bmp"},
    {IDR_PUMPKIN1, "MYBITMAP", "marigoldfiles\\pumpkin1.bmp"},
    {IDR_PUMPKIN2, "MYBITMAP", "marigoldfiles\\pumpkin2.bmp"},
    {IDR_PUMPKIN3, "MYBITMAP", "marigoldfiles\\pumpkin3.bmp"},
    {IDR_BOOM, "WAVE", "marigoldfiles\\boom1.wav"},
};
