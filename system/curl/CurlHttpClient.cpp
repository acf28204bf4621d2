#include "system/curl/CurlHttpClient.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace terrabo {

namespace {

struct Sink {
    std::string body;
    std::size_t limit;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    if (sink->body.size() + bytes > sink->limit)
        return 0; // curl ends the transfer with a write error
    sink->body.append(data, bytes);
    return bytes;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

CurlHttpClient::CurlHttpClient(HttpLimits limits) : limits_(limits) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::optional<std::string> CurlHttpClient::post(const std::string& url, const std::string& body) {
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy)
        return std::nullopt;
    CURL* h = easy.get();
    // Without it curl would wait a second for "100 Continue" on a long body.
    std::unique_ptr<curl_slist, ListDeleter> headers(curl_slist_append(nullptr, "Expect:"));

    Sink sink{{}, limits_.maxBodyBytes};
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.totalTimeout.count()));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);

    if (curl_easy_perform(h) != CURLE_OK)
        return std::nullopt;
    // An error page is the server's, not an answer to the question.
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        return std::nullopt;
    return std::move(sink.body);
}

} // namespace terrabo
