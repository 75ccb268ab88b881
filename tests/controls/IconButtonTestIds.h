// Dialog template of the icon button tests (ids apart from the program's own resources).
#pragma once

#define IDD_TEST_ICONBUTTONS 911

#define IDC_TEST_NORMAL     3001
#define IDC_TEST_FOCUSED    3003
#define IDC_TEST_NOICON     3006
