#include "server/Store.h"

#include <ctime>

std::unique_ptr<Store> openStore(const std::string& where) {
    if (where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0)
        return openPostgresStore(where);
    return openSqliteStore(where);
}

std::string utcNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

std::string canonicalScore(const std::string& digits) {
    size_t first = 0;
    while (first + 1 < digits.size() && digits[first] == '0') ++first;
    return digits.empty() ? std::string("0") : digits.substr(first);
}
