// The files the setup carries, with their resource ids and types and where they go below the Windows
// directory: the seven product files in the order they are installed (the first failure stops the
// rest), and the uninstaller.
#pragma once

#include <windows.h>

#include "product.h"
#include "setup_ids.h"

struct Payload {
    unsigned id;
    LPCSTR type;
    LPCSTR relativePath;  // below the Windows directory; NULL for the screen saver (named by string 102)
};

const Payload kPayloads[] = {
    {IDR_SAVER, RT_RCDATA, NULL},
    {IDR_GHOST, "MYBITMAP", "marigoldfiles\\ghost.bmp"},
    {IDR_SKELETON, "MYBITMAP", "marigoldfiles\\skeleton.bmp"},
    {IDR_PUMPKIN1, "MYBITMAP", "marigoldfiles\\pumpkin1.bmp"},
    {IDR_PUMPKIN2, "MYBITMAP", "marigoldfiles\\pumpkin2.bmp"},
    {IDR_PUMPKIN3, "MYBITMAP", "marigoldfiles\\pumpkin3.bmp"},
    {IDR_BOOM, "WAVE", "marigoldfiles\\boom1.wav"},
};

const Payload kUninstallerPayload = {IDR_UNINSTALLER, RT_RCDATA, "marigoldfiles\\uninstall.exe"};
