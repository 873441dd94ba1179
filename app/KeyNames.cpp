#include "app/KeyNames.h"

#include "platform/Platform.h"

#include <cstdint>
#include <cstdlib>

int keyCode(const std::string& name) {
    struct Named {
        const char* name;
        uint8_t code;
    };
    const Named names[] = {
        {"esc", vk::Escape}, {"left", vk::Left}, {"up", vk::Up}, {"right", vk::Right},
        {"down", vk::Down},  {"x", vk::X},       {"z", vk::Z},   {"c", vk::C},
        {"s", vk::S},        {"4", vk::D4},      {"5", vk::D5},  {"6", vk::D6},
        {"8", vk::D8},       {"f1", vk::F1},     {"f2", vk::F2}, {"f3", vk::F3},
        {"f4", vk::F4},      {"f5", vk::F5},     {"f6", vk::F6}, {"f7", vk::F7}};
    for (const Named& n : names)
        if (name == n.name) return n.code;
    char* end = nullptr;
    const long v = std::strtol(name.c_str(), &end, 10);
    if (!name.empty() && *end == '\0' && v > 0 && v < 256) return int(v);
    return -1;
}
