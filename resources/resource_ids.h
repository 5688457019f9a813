#pragma once
// Resource and control numbers shared by the templates and the code.

#define IDR_REGISTRATION 2001

#define IDD_SMS_PLUGIN_OPTIONS 105
#define IDC_USER_NAME 205
#define IDC_PASSWORD 206
#define IDC_ALPHABET_GSM 207
#define IDC_ALPHABET_UNICODE 208
#define IDC_CONCATENATION 209
#define IDC_SHOW_DELIVERY_RESULTS 210
