// Identifiers of TSTRES.DLL's resources (shared by the .rc and the tests).
#pragma once
#define IDS_HELLO 1
#define IDS_LONG 2
#define IDS_BLOCK2 17
#define IDS_UMLAUT 18
#define IDD_SAMPLE 100
#define IDC_LABEL 1001
#define IDR_NUMBERED 101
#define IDS_EXE 7
#define IDR_EXE 5
