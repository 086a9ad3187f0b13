#pragma once
// Texts from the controlling program are UTF-8; a text that is not valid
// UTF-8 comes from a controller using the Chinese code page and is read as
// GB18030.

#include <string>
#include <string_view>

namespace perch {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// GB18030 to UTF-8; a byte sequence that is not GB18030 becomes U+FFFD.
std::string Gb18030ToUtf8(std::string_view bytes);

// The text as UTF-8: unchanged when valid UTF-8, else decoded as GB18030.
std::string DecodeControllerText(std::string_view bytes);

}  // namespace perch
