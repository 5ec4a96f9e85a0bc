// Identifiers the framework reads from every program's resources (preprocessor constants, which the
// resource compilers read too).
#ifndef MARIGOLD_FRAMEWORK_IDS_H
#define MARIGOLD_FRAMEWORK_IDS_H

// The application title: the caption of the program's boxes.
#define AFX_IDS_APP_TITLE 0xE000

#endif
