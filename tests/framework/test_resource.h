// Resource numbers of the framework tests' own templates.
#pragma once

#define IDD_TEST_MAIN 100
#define IDD_TEST_INNER 101
#define IDR_DLGINIT_TRUNCATED 103
#define IDR_DLGINIT_UNKNOWN_MSG 104
#define IDR_DLGINIT_NO_CONTROL 105
#define IDB_TEST 200

#define IDC_T_LIST 1000
#define IDC_T_DRAWN 1003
#define IDC_T_IP 1006
#define IDC_T_COMBO 1015
#define IDC_T_EDIT 1016
#define IDC_T_PROGRESS 1023
#define IDC_T_RADIO1 1029
#define IDC_T_RADIO2 1030
#define IDC_T_RADIO3 1031
#define IDC_T_OPEN 1040
#define IDC_T_LABEL 1050
