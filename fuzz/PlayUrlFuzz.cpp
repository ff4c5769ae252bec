// play.url: the address found in any shortcut text is one line with nothing to trim at its ends,
// and whatever passes as a web address has a web scheme, a host part and no control characters.
#include "online/WebAddress.h"

#include <cstdlib>
#include <string_view>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void CheckWebAddress(std::string_view address) {
    if (!IsWebAddress(address)) return;
    for (const char c : address)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
    const size_t schemeEnd = address.find("://");
    if (schemeEnd != 4 && schemeEnd != 5) std::abort();
    if (address.size() == schemeEnd + 3 || address[schemeEnd + 3] == '/') std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string address = ShortcutAddressIn(text);
    if (address.find('\n') != std::string::npos) std::abort();
    if (!address.empty() && (IsSpace(address.front()) || IsSpace(address.back()))) std::abort();
    CheckWebAddress(address);
    CheckWebAddress(text);
    return 0;
}
