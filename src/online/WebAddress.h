// What may be handed to the browser, and the address inside an Internet shortcut file.
#pragma once

#include <string>
#include <string_view>

// An http:// or https:// address (scheme in any case) with no control characters and a host part.
bool IsWebAddress(std::string_view address);

// The URL= value of the [InternetShortcut] section of a shortcut file, or empty when the file is
// missing, too large, or holds no such line. Lines may end in CRLF; names are matched in any case.
std::string ReadShortcutAddress(const std::string& path);
// The same from the text of a shortcut file.
std::string ShortcutAddressIn(std::string_view text);
