// Dialog template of the icon button tests (ids apart from the program's own resources).
#pragma once

#define IDD_TEST_ICONBUTTONS 911

#define IDC_TEST_NORMAL     3001
#define IDC_TEST_HOT        3002
#define IDC_TEST_FOCUSED    3003
#define IDC_TEST_PRESSED    3004
#define IDC_TEST_DISABLED   3005
#define IDC_TEST_NOICON     3006
#define IDC_TEST_WRAPPED    3007
#define IDC_TEST_ICONONLY   3008
