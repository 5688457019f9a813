#pragma once
// Resource and control numbers shared by the templates and the code.

#define IDR_REGISTRATION 2001

// The ribbon's customUI documents and icons (PNG, 16 and 32 pixels).
#define IDR_RIBBON_EXPLORER 2101
#define IDR_RIBBON_CONTACT 2102
#define IDR_ICON_SEND_SMS_16 2111
#define IDR_ICON_SEND_SMS_32 2112
#define IDR_ICON_BATCH_REMINDERS_16 2113
#define IDR_ICON_BATCH_REMINDERS_32 2114
#define IDR_ICON_SMS_OPTIONS_16 2115
#define IDR_ICON_SMS_OPTIONS_32 2116

#define IDD_SMS_PLUGIN_OPTIONS 105
#define IDC_USER_NAME 205
#define IDC_PASSWORD 206
#define IDC_ALPHABET_GSM 207
#define IDC_ALPHABET_UNICODE 208
#define IDC_CONCATENATION 209
#define IDC_SHOW_DELIVERY_RESULTS 210

// "Send SMS to contact".
#define IDD_SEND_SMS 103
#define IDC_TO_BUTTON 201
#define IDC_RECIPIENTS 202
#define IDC_MESSAGE_TEXT 203
#define IDC_CHAR_COUNT 204
#define IDC_MESSAGE_COUNT 206
#define IDC_GSM_NOTE 231

// "Send batch SMS".
#define IDD_SEND_BATCH_SMS 104
#define IDC_BATCH_CLOSE 8
#define IDC_TIME_FRAME_COUNT 211
#define IDC_TIME_FRAME_UNIT 212
#define IDC_LEAD_TIME_COUNT 213
#define IDC_LEAD_TIME_UNIT 214
#define IDC_SEND_BY_LEAD_TIME 215
#define IDC_SEND_NOW 216
#define IDC_DELIVERY_DATE 217
#define IDC_DELIVERY_TIME 218
#define IDC_SEND_ON_DATE 219
#define IDC_SAVE_AS_DEFAULTS 220
#define IDC_CHOOSE_TEMPLATE 221
#define IDC_TEMPLATE_TEXT 222

// "Message templates" (shares IDC_TEMPLATE_TEXT) and "New message template name".
#define IDD_MESSAGE_TEMPLATES 106
#define IDC_TEMPLATE_NAMES 224
#define IDC_SAVE_AS_NEW 225
#define IDC_SAVE_CHANGES 226
#define IDD_NEW_TEMPLATE_NAME 107
#define IDC_NEW_TEMPLATE_NAME 227

// "Choose Contacts" and the column headings of its table.
#define IDD_CHOOSE_CONTACTS 206
#define IDC_CONTACT_LIST 228
#define IDC_ADD_RECIPIENT 229
#define IDC_CHOSEN_RECIPIENTS 230
#define IDS_CONTACT_NAME 209
#define IDS_PHONE_NUMBER 210

// "Sent messages" (the history, opened from "Send batch SMS").
#define IDC_BATCH_HISTORY 240
#define IDD_SENT_HISTORY 120
#define IDC_HISTORY_SEARCH 241
#define IDC_HISTORY_COUNT 242
#define IDC_HISTORY_LIST 243
#define IDC_HISTORY_REMOVE 244
#define IDC_HISTORY_REMOVE_BEFORE 245
#define IDC_HISTORY_BEFORE_DATE 246
#define IDC_HISTORY_EXPORT 247

// The delivery report of a run too long for a message box.
#define IDD_DELIVERY_REPORT 121
#define IDC_REPORT_SUMMARY 250
#define IDC_REPORT_TEXT 251
#define IDC_REPORT_COPY 252

// Opt-out: the options dialog's category field.
#define IDC_OPT_OUT_CATEGORY 270

// The preview of a batch run, opened from "Send batch SMS".
#define IDC_BATCH_PREVIEW 260
#define IDD_REMINDER_PREVIEW 122
#define IDC_PREVIEW_MODE 261
#define IDC_PREVIEW_TOTALS 262
#define IDC_PREVIEW_LIST 263
#define IDC_PREVIEW_SEND 264
