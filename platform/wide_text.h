// UTF-8 paths and texts to and from the UTF-16 of the Windows wide-character calls. Used by the
// Windows implementation files only.
#pragma once

#include <string>
#include <string_view>

namespace vmk::platform {

// Bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A path for the wide-character calls: UTF-16, with "/" turned into "\".
std::wstring WidePath(std::string_view utf8);

}  // namespace vmk::platform
