// Resource ids of the framework tests' own dialog template, icon and strings.
#pragma once

#define IDD_TEST          1000   // no WS_VISIBLE: DoModal shows it
#define IDC_TEST_CHECK    1101
#define IDC_TEST_EDIT     1102
#define IDI_TEST          1200
#define IDS_TEST_LONG     2001   // longer than the first buffer LoadResString tries
