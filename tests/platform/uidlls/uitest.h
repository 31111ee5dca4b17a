// Resource numbers of UITEST.DLL, the user-interface tests' resource library.
#pragma once

#define IDD_ALLCONTROLS 100
#define IDD_PAGE1 101
#define IDD_PAGE2 102
#define IDD_CLASSIC 103
#define IDI_SAMPLE 200
#define IDB_SAMPLE 201
#define IDR_CLIP 202
#define IDR_NOTACLIP 203
#define IDS_TIP 300
#define IDS_TITLE 301

#define IDC_LABEL 1001
#define IDC_EDIT 1002
#define IDC_NUMBER 1003
#define IDC_SPIN 1004
#define IDC_PASSWORD 1005
#define IDC_CHECK 1006
#define IDC_3STATE 1007
#define IDC_GROUP 1008
#define IDC_RADIO1 1009
#define IDC_RADIO2 1010
#define IDC_ICONSTATIC 1011
#define IDC_BITMAP 1012
#define IDC_LIST 1013
#define IDC_COMBO 1014
#define IDC_COMBOEDIT 1015
#define IDC_LISTVIEW 1016
#define IDC_TAB 1017
#define IDC_TRACK 1018
#define IDC_ANIMATE 1019
#define IDC_PROGRESS 1020

#define IDC_PAGE1_CHECK 1101
#define IDC_PAGE1_EDIT 1102
#define IDC_PAGE2_COMBO 1201
