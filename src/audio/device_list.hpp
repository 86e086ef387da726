#pragma once
// Device choices as the property dialogs show them: a label and the number stored with the entry.

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

struct DeviceChoice {
    std::string label;
    int32_t data = 0;
    bool operator==(const DeviceChoice&) const = default;
};

/// The entries of one device list, in display order, and the index of the selected entry (-1: none).
struct DeviceChoices {
    std::vector<DeviceChoice> entries;
    int selected = -1;
};

} // namespace mw
