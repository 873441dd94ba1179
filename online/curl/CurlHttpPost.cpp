// Sending through libcurl. Each request has its own easy handle: a game is sent once in a
// while, so reusing a connection would save nothing worth the state it keeps.
#include "online/HttpPost.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace {

struct Collect {
    std::string* body;
};

size_t keepBody(char* data, size_t size, size_t count, void* user) {
    std::string& body = *static_cast<Collect*>(user)->body;
    const size_t n = size * count;
    const size_t room = kMaxReplyBody - std::min(body.size(), kMaxReplyBody);
    body.append(data, std::min(n, room));
    // Taking all of it, even when cut, lets the transfer end normally.
    return n;
}

int checkCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

} // namespace

HttpLibrary::HttpLibrary() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}
HttpLibrary::~HttpLibrary() {
    curl_global_cleanup();
}

bool httpSendingBuiltIn() {
    return true;
}

HttpReply httpPostReplay(const std::string& url, const std::vector<uint8_t>& body,
                         const HttpLimits& limits, const std::atomic<bool>& cancel) {
    HttpReply r;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        r.error = "the HTTP library could not start";
        return r;
    }
    std::unique_ptr<curl_slist, ListDeleter> headers(
        curl_slist_append(nullptr, "Content-Type: application/octet-stream"));
    // No "Expect: 100-continue" round trip for a few kilobytes.
    headers.reset(curl_slist_append(headers.release(), "Expect:"));
    Collect collect{&r.body};
    char why[CURL_ERROR_SIZE] = {};
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    // Only the web's own schemes: a settings file must not make the game read local files.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_USERAGENT, "vortalix/" VORTALIX_VERSION);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(limits.connectSeconds));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, long(limits.totalSeconds));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L); // it runs off the main thread
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, keepBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &collect);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, checkCancel);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&cancel));
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, why);
    const CURLcode done = curl_easy_perform(c);
    if (done != CURLE_OK) {
        r.error = why[0] != '\0' ? why : curl_easy_strerror(done);
        if (done == CURLE_ABORTED_BY_CALLBACK) r.error = "cancelled: the game is ending";
        r.body.clear();
        return r;
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    r.status = int32_t(status);
    curl_off_t wait = 0;
    if (curl_easy_getinfo(c, CURLINFO_RETRY_AFTER, &wait) == CURLE_OK && wait > 0)
        r.retryAfter = int32_t(std::min<curl_off_t>(wait, 86400));
    return r;
}
