// The files the setup carries, with their resource ids and types and their names: the seven product
// files in the order they are installed (the first failure stops the rest), and the uninstaller.
#pragma once

#include <windows.h>

#include "installed_files.h"
#include "setup_ids.h"

struct Payload {
    unsigned id;
    LPCSTR type;
    LPCSTR fileName;  // in the asset folder; NULL for the screen saver (named by string 102, below the Windows directory)
};

const Payload kPayloads[] = {
    {IDR_SAVER, RT_RCDATA, NULL},
    {IDR_GHOST, "MYBITMAP", GHOST_FILE_NAME},
    {IDR_SKELETON, "MYBITMAP", SKELETON_FILE_NAME},
    {IDR_PUMPKIN1, "MYBITMAP", PUMPKIN1_FILE_NAME},
    {IDR_PUMPKIN2, "MYBITMAP", PUMPKIN2_FILE_NAME},
    {IDR_PUMPKIN3, "MYBITMAP", PUMPKIN3_FILE_NAME},
    {IDR_BOOM, "WAVE", BOOM_FILE_NAME},
};

const Payload kUninstallerPayload = {IDR_UNINSTALLER, RT_RCDATA, UNINSTALLER_FILE_NAME};
