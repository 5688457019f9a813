#pragma once
#include <string>

#include "platform/code_page.h"

// The value of the request's "message" parameter for a text: with a nonzero
// "Alphabet" setting four upper-case hexadecimal digits per UTF-16 unit,
// high byte first; with 0 the text in the ANSI code page (best fit).
std::string EncodeMessageText(const std::u16string& text, unsigned alphabet,
                              const CodePage& codePage);
