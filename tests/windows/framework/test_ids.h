#pragma once
#define IDD_TEST 200
#define IDC_NAME 201
#define IDC_COUNT 202
#define IDC_FLAG 203
#define IDC_CHOICE 204
#define IDC_ENTRIES 205
#define IDC_GO 206
#define IDR_TEST_BAR 300
#define ID_TOOL_FIRST 401
#define ID_TOOL_SECOND 402
#define ID_TOOL_THIRD 403
#define IDS_GREETING 500
