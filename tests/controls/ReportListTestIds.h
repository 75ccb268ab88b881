// Dialog template of the report list tests (ids apart from the program's own resources).
#pragma once

#define IDD_TEST_REPORTLIST 912

#define IDC_TEST_STATSLIST  3101
