#pragma once
#include <array>

// The add-in's toolbar on the mail client's explorer window and its three
// buttons, in the order they appear. Face numbers are the host's built-in
// button images; the add-in ships none of its own.
inline constexpr char16_t kToolbarName[] = u"SMS sender Toolbar";

struct ToolbarButtonRow {
  const char16_t* caption;
  const char16_t* tooltip;
  const char16_t* tag;
  long faceId;
};

inline constexpr char16_t kTagNewSmsMessage[] = u"NewSMSMessage";
inline constexpr char16_t kTagNewBatchSmsMessage[] = u"NewBatchSMSMessage";
inline constexpr char16_t kTagSmsPluginOptions[] = u"SMSPluginOptions";

inline constexpr std::array<ToolbarButtonRow, 3> kToolbarButtons{{
    {u"Send SMS to contact", u"Allows you to send an SMS message to a list of contacts.", kTagNewSmsMessage,
     3738},
    {u"Send Batch SMS",
     u"Allows you to send a batch SMS messages to a list of contacts for all meetings in a specified "
     u"timeframe.",
     kTagNewBatchSmsMessage, 3852},
    {u"SMS Options", u"Allows you to configure functionality of SMS plugin.", kTagSmsPluginOptions, 3359},
}};
