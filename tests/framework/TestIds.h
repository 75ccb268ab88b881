// Resource ids of the framework tests' own dialog templates and strings.
#pragma once

#define IDD_TEST_HIDDEN   1000   // no WS_VISIBLE: DoModal shows it
#define IDD_TEST_VISIBLE  1001
#define IDD_TEST_MISSING  1099   // no such template

#define IDC_TEST_CHECK    1101
#define IDC_TEST_EDIT     1102
#define IDC_TEST_DRAWN    1103

#define IDS_TEST_HELLO    2000
#define IDS_TEST_LONG     2001
#define IDS_TEST_MISSING  2099   // no such string
