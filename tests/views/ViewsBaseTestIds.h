// Dialog templates of the resizable dialog tests (ids apart from the program's own resources).
#pragma once

#define IDD_TEST_ANCHORS    901
#define IDD_TEST_ENTER      902

#define IDC_TEST_FIXED      2001
#define IDC_TEST_STRETCH    2002
#define IDC_TEST_FOLLOW     2003
#define IDC_TEST_CENTER     2004
#define IDC_TEST_LATE       2005
#define IDC_TEST_UNANCHORED 2006
#define IDC_TEST_DOOMED     2007

#define IDC_TEST_FIRST      2101
#define IDC_TEST_SECOND     2102
#define IDC_TEST_EDIT       2103
#define IDC_TEST_LIST       2104
