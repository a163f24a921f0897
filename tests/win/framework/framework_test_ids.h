#pragma once
#define IDD_EXCHANGE 200
#define IDC_FIRST_NUMBER 201
#define IDC_NAME 202
#define IDC_SECOND_NUMBER 203
#define IDC_FLAG 204
