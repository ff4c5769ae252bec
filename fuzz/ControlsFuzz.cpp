// Controls.cfg: any text is read or refused, and what is read is a table the game writes back as it was.
#include "persistence/ControlsFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto read = DecodeControlBindings(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read) return 0;
    const auto again = DecodeControlBindings(EncodeControlBindings(*read));
    if (!again || !(*again == *read)) std::abort();
    return 0;
}
