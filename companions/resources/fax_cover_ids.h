// Templates and control identifiers of the fax cover sheet dialog (172), its four
// tab pages and its set dialogs, in NOVRIX_S.DLL.  The module's code names the
// same numbers (src/pages/fax_cover_sheet_dialog.cpp).
#pragma once

#define IDD_FAX_COVER 172
#define IDD_FAX_COVER_SAVE 173
#define IDD_FAX_COVER_EDIT 174
#define IDD_FCS_BASIC 175
#define IDD_FCS_RECIPIENT 176
#define IDD_FCS_SENDER 177
#define IDD_FCS_IMAGE 178

// The dialog.
#define IDC_FCS_SET_LIST 2030
#define IDC_FCS_SAVE 2034
#define IDC_FCS_EDIT 2035
#define IDC_FCS_TABS 2036
// Every tab: its defaults.
#define IDC_FCS_DEFAULTS 1032

// Basic.
#define IDC_FCS_STYLE 1960
#define IDC_FCS_SUBJECT_ON 1961
#define IDC_FCS_SUBJECT 1962
#define IDC_FCS_DATE_ON 1583
#define IDC_FCS_DATE_BY_FORM 1967
#define IDC_FCS_DATE_FORM 1968
#define IDC_FCS_DATE_TYPED_MODE 1965
#define IDC_FCS_DATE_TYPED 1966
#define IDC_FCS_PAGES_ON 1970
#define IDC_FCS_PAGES 1971
#define IDC_FCS_COMMENT 1972
#define IDC_FCS_COVER_SIZE 1974

// Recipient.
#define IDC_FCS_STANDARD 1978
#define IDC_FCS_TITLE 1979
#define IDC_FCS_DETAILS 1980
#define IDC_FCS_JOINT_NAME 1982
#define IDC_FCS_EACH_RECIPIENT 1983
#define IDC_FCS_SET_INFO 1984
#define IDC_FCS_COMPANY_ON 1985
#define IDC_FCS_COMPANY 1986
#define IDC_FCS_DEPARTMENT_ON 1987
#define IDC_FCS_DEPARTMENT 1988
#define IDC_FCS_NAME_ON 1989
#define IDC_FCS_NAME 1990
#define IDC_FCS_FAX_ON 1991
#define IDC_FCS_FAX 1992
#define IDC_FCS_READ 1993

// Sender: six switches and their texts, in the record's order.
#define IDC_FCS_SENDER_ON_FIRST 2010
#define IDC_FCS_SENDER_TEXT_FIRST 2016

// Image.
#define IDC_FCS_PASTE 2022
#define IDC_FCS_FILE 2023
#define IDC_FCS_BROWSE 2024
#define IDC_FCS_ZOOM_ON 2025
#define IDC_FCS_ZOOM 2026
#define IDC_FCS_X 2027
#define IDC_FCS_Y 2028
#define IDC_FCS_CHECK 2029

// The set dialogs.
#define IDC_FCS_SET_NAME 2033
#define IDC_FCS_SETS 2031
#define IDC_FCS_SET_RENAME 2045
#define IDC_FCS_SET_UP 2040
#define IDC_FCS_SET_DOWN 2041
#define IDC_FCS_SET_DELETE 2042
