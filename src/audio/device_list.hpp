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

/// Calls add(number, name) for every device of a backend whose name can be read, in order: the default
/// device -1 first when `withDefault`, then 0..n-1.
template <class Backend, class Add> void ForEachNamedDevice(Backend& backend, bool withDefault, Add add) {
    std::string name;
    if (withDefault && backend.DeviceName(-1, name)) add(-1, name);
    const int count = backend.DeviceCount();
    for (int i = 0; i < count; ++i)
        if (backend.DeviceName(i, name)) add(i, name);
}

/// The devices of a backend whose names can be read, each labelled with its name.
template <class Backend> std::vector<DeviceChoice> NamedDevices(Backend& backend, bool withDefault) {
    std::vector<DeviceChoice> list;
    ForEachNamedDevice(backend, withDefault, [&](int n, const std::string& name) {
        list.push_back({name, n});
    });
    return list;
}

} // namespace mw
