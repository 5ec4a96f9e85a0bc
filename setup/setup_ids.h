// String-table ids and payload resources of the setup executable.
#pragma once

const unsigned IDS_ASK_INSTALL = 101;
const unsigned IDS_SAVER_FILE_NAME = 102;
const unsigned IDS_INSTALL_SUCCEEDED = 103;
const unsigned IDS_INSTALL_FAILED = 104;

const unsigned IDR_SAVER = 129;  // RT_RCDATA
const unsigned IDR_GHOST = 149;  // "MYBITMAP" ...
const unsigned IDR_SKELETON = 150;
const unsigned IDR_PUMPKIN1 = 154;
const unsigned IDR_PUMPKIN2 = 146;
const unsigned IDR_PUMPKIN3 = 147;
const unsigned IDR_BOOM = 155;   // "WAVE"
