#pragma once
// UTF-8 <-> wide text for the places where files, settings or the JPEG
// library speak UTF-8 and the windows speak wide text. Portable: wchar_t holds
// UTF-16 on Windows and UTF-32 elsewhere; both are handled. Malformed input
// (a stray continuation byte, a truncated sequence, an overlong form, a lone
// surrogate) becomes U+FFFD, as the platform's own conversion does.
#include <string>

namespace px {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

}  // namespace px
