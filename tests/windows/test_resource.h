// Resources of the Windows test program only (test_resources.rc), numbered
// clear of the program's own.
#pragma once

#define IDD_TEST_OPTIONS 9001  // a modeless dialog with an edit and a check box
#define IDD_TEST_CHILD 9002    // a modal dialog started from the first
#define IDC_TEST_EDIT 9101
#define IDC_TEST_CHECK 9102

#define IDS_TEST_GREETING 9200       // English, with a Japanese twin
#define IDS_TEST_ENGLISH_ONLY 9201   // no Japanese twin
