#pragma once
#define IDD_TEST 200
#define IDC_NAME 201
#define IDC_COUNT 202
#define IDC_FLAG 203
#define IDR_TEST_BAR 300
#define ID_TOOL_FIRST 401
#define ID_TOOL_SECOND 402
#define ID_TOOL_THIRD 403
