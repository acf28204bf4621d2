#include "SmallGazetteer.h"

#include "server/HouseAd.h"
#include "server/Service.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace terrabo::server {
namespace {

class ServiceTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gazetteer = new Gazetteer(testing::smallGazetteer());
        service = new Service(*gazetteer);
    }
    static void TearDownTestSuite() {
        delete service;
        delete gazetteer;
    }
    static HttpReply get(const std::string& target) { return service->handle("GET", target); }

    static Gazetteer* gazetteer;
    static Service* service;
};
Gazetteer* ServiceTest::gazetteer = nullptr;
Service* ServiceTest::service = nullptr;

TEST_F(ServiceTest, RoutesByExactPathAndMethod) {
    const struct {
        const char* method;
        const char* target;
        int status;
        const char* contentType;
    } cases[] = {
        {"POST", "/zentra/decode.php?address=Paris", 200, "text/plain; charset=utf-8"},
        {"GET", "/zentra/decode.php?address=Paris", 200, "text/plain; charset=utf-8"},
        {"HEAD", "/zentra/decode.php?address=Paris", 200, "text/plain; charset=utf-8"},
        {"PUT", "/zentra/decode.php?address=Paris", 405, "text/plain; charset=utf-8"},
        {"GET", "/maps?q=Paris", 200, "text/html; charset=utf-8"},
        {"POST", "/maps?q=Paris", 405, "text/plain; charset=utf-8"},
        {"GET", "/apps", 200, "text/html; charset=utf-8"},
        {"GET", "/ads/banner?unit=abcdefghij12345", 200, "image/png"},
        {"DELETE", "/apps", 405, "text/plain; charset=utf-8"},
        {"GET", "/", 404, "text/plain; charset=utf-8"},
        {"GET", "/maps/", 404, "text/plain; charset=utf-8"},
        {"GET", "/apps/../etc/passwd", 404, "text/plain; charset=utf-8"},
        {"GET", "/../../etc/passwd", 404, "text/plain; charset=utf-8"},
        {"GET", "/zentra/decode.php/x?address=Paris", 404, "text/plain; charset=utf-8"},
        {"GET", "/ZENTRA/decode.php?address=Paris", 404, "text/plain; charset=utf-8"},
        {"GET", "/gazetteer.idx", 404, "text/plain; charset=utf-8"},
        {"GET", "/%2e%2e/etc/passwd", 404, "text/plain; charset=utf-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.target);
        const HttpReply reply = service->handle(c.method, c.target);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.contentType, c.contentType);
    }
}

TEST_F(ServiceTest, LookupAnswers) {
    const struct {
        const char* target;
        int status;
        const char* body;
    } cases[] = {
        {"/zentra/decode.php?address=Paris", 200,
         "48.85341|2.34880|Paris%2C%20%C3%8Ele-de-France%2C%20France"},
        {"/zentra/decode.php?address=Paris%2C%20Texas", 200,
         "33.66094|-95.55551|Paris%2C%20Texas%2C%20United%20States"},
        {"/zentra/decode.php?address=S%C3%A3o%20Paulo", 200,
         "-23.54750|-46.63611|S%C3%A3o%20Paulo%2C%20Brazil"},
        {"/zentra/decode.php?address=12.972,77.595", 200,
         "12.97200|77.59500|12.97200%2C%2077.59500"},
        {"/zentra/decode.php?address=Xanadu", 200, "N|N|N"},
        {"/zentra/decode.php?address=", 200, "N|N|N"},
        {"/zentra/decode.php?address=%20%20", 200, "N|N|N"},
        {"/zentra/decode.php?address=Par%00is", 200, "N|N|N"},
        {"/zentra/decode.php?address=%C3", 200, "N|N|N"},
        {"/zentra/decode.php?address=%ZZ", 400, "N|N|N"},
        {"/zentra/decode.php?address=Paris%", 400, "N|N|N"},
        {"/zentra/decode.php", 400, "N|N|N"},
        {"/zentra/decode.php?place=Paris", 400, "N|N|N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const HttpReply reply = service->handle("POST", c.target);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.body, c.body);
    }
    const std::string longest =
        "/zentra/decode.php?address=Paris" + std::string(kMaxQueryBytes - 5, '+');
    EXPECT_NE(get(longest).body, "N|N|N");
    EXPECT_EQ(get(longest + "+").body, "N|N|N");
}

TEST_F(ServiceTest, MapPageShowsThePlace) {
    const HttpReply reply = get("/maps?q=Paris%2C%20Texas");
    ASSERT_EQ(reply.status, 200);
    const std::string& page = reply.body;
    EXPECT_NE(page.find("<h1>Paris</h1>"), std::string::npos);
    EXPECT_NE(page.find("Texas, United States"), std::string::npos);
    EXPECT_NE(page.find("33.6609\u00B0 N, 95.5555\u00B0 W"), std::string::npos);
    EXPECT_NE(page.find("width=320"), std::string::npos);
    // The pin stands on the place; the map is the index's own.
    EXPECT_NE(page.find("translate(-95.55551 -"), std::string::npos);
    EXPECT_NE(page.find("M-1800 -1700l3600 0 0 3400-3600 0z"), std::string::npos);
    EXPECT_NE(page.find("GeoNames (CC BY 4.0)"), std::string::npos);
    // Self-contained: nothing is fetched from elsewhere.
    for (const char* outside : {"src=", "<link", "url(", "@import", "<script"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
}

TEST_F(ServiceTest, MapPageTakesWhatTheAppSends) {
    const struct {
        const char* target;
        const char* title;
    } cases[] = {
        {"/maps?q=New%20York", "<h1>Place not found</h1>"}, // not in the small gazetteer
        {"/maps?q=Sao%20Paulo", "<h1>São Paulo</h1>"},
        {"/maps?q=S\xC3\xA3o%20Paulo", "<h1>São Paulo</h1>"}, // raw UTF-8 as the panel may send it
        {"/maps?q=12.972,77.595", "<h1>12.97200, 77.59500</h1>"},
        {"/maps?q=-33.250,151.500", "<h1>-33.25000, 151.50000</h1>"},
        {"/maps?q=France", "<h1>France</h1>"},
        {"/maps?q=", "<h1>Place not found</h1>"},
        {"/maps", "<h1>Place not found</h1>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const HttpReply reply = get(c.target);
        EXPECT_EQ(reply.status, 200);
        EXPECT_NE(reply.body.find(c.title), std::string::npos);
    }
    EXPECT_EQ(get("/maps?q=%E").status, 400);
}

TEST_F(ServiceTest, MapPageEscapesTheQuery) {
    const HttpReply reply = get("/maps?q=%3Cscript%3Ealert(1)%3C/script%3E");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.find("<script>"), std::string::npos);
    EXPECT_NE(reply.body.find("&lt;script&gt;"), std::string::npos);
}

TEST_F(ServiceTest, AppsPageCreditsTheData) {
    const std::string page = get("/apps").body;
    for (const char* credit : {"GeoNames", "CC BY 4.0", "Natural Earth", "world-countries"})
        EXPECT_NE(page.find(credit), std::string::npos) << credit;
}

uint32_t bigEndian(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

TEST_F(ServiceTest, BannerIsA320By50Png) {
    const std::string png = get("/ads/banner?unit=a1b2c3d4e5f6g7h").body;
    ASSERT_GT(png.size(), 33u);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // Walk the chunks, checking each CRC, and inflate the image data.
    std::string idat;
    uint32_t width = 0, height = 0;
    bool ended = false;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = bigEndian(png, at);
        ASSERT_LE(at + 12 + length, png.size());
        const std::string type = png.substr(at + 4, 4);
        const std::string data = png.substr(at + 8, length);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4);
        EXPECT_EQ(bigEndian(png, at + 8 + length), crc) << type;
        if (type == "IHDR") {
            width = bigEndian(data, 0);
            height = bigEndian(data, 4);
            EXPECT_EQ(data[8], 8);
            EXPECT_EQ(data[9], 2);
        } else if (type == "IDAT") {
            idat += data;
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 50u);
    std::string raw(50 * (1 + 320 * 3), '\0');
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize,
                         reinterpret_cast<const Bytef*>(idat.data()), idat.size()),
              Z_OK);
    EXPECT_EQ(rawSize, raw.size());
}

TEST_F(ServiceTest, BannerWantsA15CharacterUnit) {
    const struct {
        const char* target;
        int status;
    } cases[] = {
        {"/ads/banner?unit=abcdefghij12345", 200},
        {"/ads/banner?unit=000000000000000", 200},
        {"/ads/banner?unit=abcdefghij1234", 400},   // 14
        {"/ads/banner?unit=abcdefghij123456", 400}, // 16
        {"/ads/banner?unit=ABCDEFGHIJ12345", 400},
        {"/ads/banner?unit=abcdefghij1234-", 400},
        {"/ads/banner?unit=abcdefghij1234%41", 400},
        {"/ads/banner?unit=", 400},
        {"/ads/banner", 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(get(c.target).status, c.status);
    }
}

} // namespace
} // namespace terrabo::server
