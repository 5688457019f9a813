#pragma once
#include <string>

#include "platform/code_page.h"
#include "store/sending_options.h"

// The value of the request's "message" parameter for a text: four
// upper-case hexadecimal digits per UTF-16 unit, high byte first, when the
// options hex-encode the text; otherwise the text in the ANSI code page
// (best fit).
std::string EncodeMessageText(const std::u16string& text, const SendingOptions& options,
                              const CodePage& codePage);
