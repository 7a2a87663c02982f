// Command and window ids the framework reserves; plain #defines so .rc files can use them.
#pragma once

#define ID_APP_ABOUT 0xE140    // 57664
#define ID_HELP 0xE146         // 57670
#define AFX_IDW_TOOLBAR 0xE800 // first id of the control-bar range

// Control-bar styles, kept apart from the window style by CToolBar::CreateEx.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_ALL 0x0040FFFFL
