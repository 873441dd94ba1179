#pragma once
// What the server sends back: entries as JSON, and the plain page of the top 100.

#include "server/Store.h"

#include <string>
#include <vector>

std::string entryJson(const Entry& e);
std::string boardJson(int64_t total, const std::vector<Entry>& entries);
std::string errorJson(const std::string& message);
std::string boardPage(const std::vector<Entry>& entries, bool hasSite);
