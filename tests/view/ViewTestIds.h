// Dialog templates of the view tests.
#pragma once
#define IDD_TEST_PAGE 8          // a page as large as the page area
#define IDD_TEST_OWN_QUESTION 12 // a page with the second save question
#define IDD_TEST_SMALL_PAGE 20   // a small page
