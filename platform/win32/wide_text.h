#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zarn::platform {

// UTF-8 and the wide text of the Win32 "W" entry points.
std::string Narrow(const std::wstring& wide);
// False where the text is not UTF-8.
bool Widen(std::string_view text, std::wstring& wide);

// The system's own words for an error code, without the closing full stop
// ("Access is denied"); "system error N" where it has none.
std::string SystemReason(DWORD error);

}  // namespace zarn::platform
