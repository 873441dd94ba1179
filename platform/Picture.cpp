// Placeholder bodies; picture decoding lands with its own change.
#include "platform/Picture.h"
bool decodeBmp(const uint8_t*, size_t, Surface&, std::string& e) {
    e = "not built";
    return false;
}
bool decodeJpeg(const uint8_t*, size_t, Surface&, std::string& e) {
    e = "not built";
    return false;
}
bool loadPicture(Platform&, const std::string&, Surface&, std::string& e) {
    e = "not built";
    return false;
}
bool loadBmpFile(Platform&, const std::string&, Surface&, std::string& e) {
    e = "not built";
    return false;
}
