// Command-list files cut into lines and fields, and the fields read as numbers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cmdlist/command_list_line.h"
#include "shared/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& line : zr::SplitLines(text)) {
        const zr::CommandListLine fields = zr::ReadCommandListLine(line);
        fields.minimum();
        fields.maximum();
    }
    return 0;
}
