#include "server/TextFold.h"

#include "server/Utf8.h"

#include <array>
#include <string_view>

namespace terrabo::server {
namespace {

// U+00C0..U+00FF.
constexpr std::array<std::string_view, 64> kLatin1 = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",
};

// U+0100..U+017F, one letter each; '1' stands for "ij", '2' for "oe".
constexpr std::string_view kLatinExtendedA = "aaaaaa"
                                             "cccccccc"
                                             "dddd"
                                             "eeeeeeeeee"
                                             "gggggggg"
                                             "hhhh"
                                             "iiiiiiiiii"
                                             "11"
                                             "jj"
                                             "kkk"
                                             "llllllllll"
                                             "nnnnnnnnn"
                                             "oooooo"
                                             "22"
                                             "rrrrrr"
                                             "ssssssss"
                                             "tttttt"
                                             "uuuuuuuuuuuu"
                                             "ww"
                                             "yyy"
                                             "zzzzzz"
                                             "s";
static_assert(kLatinExtendedA.size() == 128);

struct Span {
    char32_t first;
    char32_t last;
    std::string_view folded;
};

// Latin Extended-B and Latin Extended Additional, by runs of one base letter.
constexpr Span kSpans[] = {
    {0x0180, 0x0185, "b"},  {0x0186, 0x0186, "o"},  {0x0187, 0x0188, "c"},  {0x0189, 0x018D, "d"},
    {0x018E, 0x0190, "e"},  {0x0191, 0x0192, "f"},  {0x0193, 0x0194, "g"},  {0x0195, 0x0195, "hv"},
    {0x0196, 0x0197, "i"},  {0x0198, 0x0199, "k"},  {0x019A, 0x019B, "l"},  {0x019C, 0x019C, "m"},
    {0x019D, 0x019E, "n"},  {0x019F, 0x01A1, "o"},  {0x01A2, 0x01A3, "oi"}, {0x01A4, 0x01A5, "p"},
    {0x01A6, 0x01A6, "r"},  {0x01A7, 0x01AA, "s"},  {0x01AB, 0x01AE, "t"},  {0x01AF, 0x01B1, "u"},
    {0x01B2, 0x01B2, "v"},  {0x01B3, 0x01B4, "y"},  {0x01B5, 0x01B6, "z"},  {0x01C4, 0x01C6, "dz"},
    {0x01C7, 0x01C9, "lj"}, {0x01CA, 0x01CC, "nj"}, {0x01CD, 0x01CE, "a"},  {0x01CF, 0x01D0, "i"},
    {0x01D1, 0x01D2, "o"},  {0x01D3, 0x01DC, "u"},  {0x01DD, 0x01DD, "e"},  {0x01DE, 0x01E1, "a"},
    {0x01E2, 0x01E3, "ae"}, {0x01E4, 0x01E7, "g"},  {0x01E8, 0x01E9, "k"},  {0x01EA, 0x01ED, "o"},
    {0x01F0, 0x01F0, "j"},  {0x01F1, 0x01F3, "dz"}, {0x01F4, 0x01F5, "g"},  {0x01F6, 0x01F6, "hv"},
    {0x01F8, 0x01F9, "n"},  {0x01FA, 0x01FB, "a"},  {0x01FC, 0x01FD, "ae"}, {0x01FE, 0x01FF, "o"},
    {0x0200, 0x0203, "a"},  {0x0204, 0x0207, "e"},  {0x0208, 0x020B, "i"},  {0x020C, 0x020F, "o"},
    {0x0210, 0x0213, "r"},  {0x0214, 0x0217, "u"},  {0x0218, 0x0219, "s"},  {0x021A, 0x021B, "t"},
    {0x021E, 0x021F, "h"},  {0x0220, 0x0220, "n"},  {0x0221, 0x0221, "d"},  {0x0222, 0x0223, "ou"},
    {0x0224, 0x0225, "z"},  {0x0226, 0x0227, "a"},  {0x0228, 0x0229, "e"},  {0x022A, 0x0231, "o"},
    {0x0232, 0x0233, "y"},  {0x0234, 0x0234, "l"},  {0x0235, 0x0235, "n"},  {0x0236, 0x0236, "t"},
    {0x0237, 0x0237, "j"},  {0x023A, 0x023A, "a"},  {0x023B, 0x023C, "c"},  {0x023D, 0x023D, "l"},
    {0x023E, 0x023E, "t"},  {0x023F, 0x023F, "s"},  {0x0240, 0x0240, "z"},  {0x0243, 0x0243, "b"},
    {0x0244, 0x0244, "u"},  {0x0245, 0x0245, "v"},  {0x0246, 0x0247, "e"},  {0x0248, 0x0249, "j"},
    {0x024A, 0x024B, "q"},  {0x024C, 0x024D, "r"},  {0x024E, 0x024F, "y"},  {0x0259, 0x0259, "e"},
    {0x1E00, 0x1E01, "a"},  {0x1E02, 0x1E07, "b"},  {0x1E08, 0x1E09, "c"},  {0x1E0A, 0x1E13, "d"},
    {0x1E14, 0x1E1D, "e"},  {0x1E1E, 0x1E1F, "f"},  {0x1E20, 0x1E21, "g"},  {0x1E22, 0x1E2B, "h"},
    {0x1E2C, 0x1E2F, "i"},  {0x1E30, 0x1E35, "k"},  {0x1E36, 0x1E3D, "l"},  {0x1E3E, 0x1E43, "m"},
    {0x1E44, 0x1E4B, "n"},  {0x1E4C, 0x1E53, "o"},  {0x1E54, 0x1E57, "p"},  {0x1E58, 0x1E5F, "r"},
    {0x1E60, 0x1E69, "s"},  {0x1E6A, 0x1E71, "t"},  {0x1E72, 0x1E7B, "u"},  {0x1E7C, 0x1E7F, "v"},
    {0x1E80, 0x1E89, "w"},  {0x1E8A, 0x1E8D, "x"},  {0x1E8E, 0x1E8F, "y"},  {0x1E90, 0x1E95, "z"},
    {0x1E96, 0x1E96, "h"},  {0x1E97, 0x1E97, "t"},  {0x1E98, 0x1E98, "w"},  {0x1E99, 0x1E99, "y"},
    {0x1E9A, 0x1E9A, "a"},  {0x1E9B, 0x1E9B, "s"},  {0x1E9E, 0x1E9E, "ss"}, {0x1EA0, 0x1EB7, "a"},
    {0x1EB8, 0x1EC7, "e"},  {0x1EC8, 0x1ECB, "i"},  {0x1ECC, 0x1EE3, "o"},  {0x1EE4, 0x1EF1, "u"},
    {0x1EF2, 0x1EF9, "y"},
};

// Greek letters with tonos, and final sigma, onto their plain lower case.
char32_t plainGreek(char32_t cp) {
    switch (cp) {
    case 0x0386:
    case 0x03AC:
        return 0x03B1;
    case 0x0388:
    case 0x03AD:
        return 0x03B5;
    case 0x0389:
    case 0x03AE:
        return 0x03B7;
    case 0x038A:
    case 0x03AF:
    case 0x03CA:
    case 0x0390:
        return 0x03B9;
    case 0x038C:
    case 0x03CC:
        return 0x03BF;
    case 0x038E:
    case 0x03CD:
    case 0x03CB:
    case 0x03B0:
        return 0x03C5;
    case 0x038F:
    case 0x03CE:
        return 0x03C9;
    case 0x03C2:
        return 0x03C3;
    default:
        break;
    }
    if (cp >= 0x0391 && cp <= 0x03A9 && cp != 0x03A2)
        return cp + 0x20;
    return cp;
}

char32_t plainCyrillic(char32_t cp) {
    if (cp == 0x0401 || cp == 0x0451)
        return 0x0435; // ё is written е as often as not
    if (cp >= 0x0400 && cp <= 0x040F)
        return cp + 0x50;
    if (cp >= 0x0410 && cp <= 0x042F)
        return cp + 0x20;
    return cp;
}

bool isDropped(char32_t cp) {
    return (cp >= 0x00A0 && cp <= 0x00BF) || cp == 0x00D7 || cp == 0x00F7 ||
           (cp >= 0x02B0 && cp <= 0x036F) || // modifier letters, combining marks
           (cp >= 0x2000 && cp <= 0x206F) || // spaces, dashes, quotes
           cp == 0x3000 || cp == 0xFEFF;
}

void appendFolded(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        const char c = static_cast<char>(cp);
        if (c >= 'A' && c <= 'Z')
            out += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out += c;
        return;
    }
    if (isDropped(cp))
        return;
    if (cp >= 0x00C0 && cp <= 0x00FF) {
        out += kLatin1[cp - 0x00C0];
        return;
    }
    if (cp >= 0x0100 && cp <= 0x017F) {
        const char c = kLatinExtendedA[cp - 0x0100];
        out += c == '1' ? "ij" : c == '2' ? "oe" : std::string_view(&c, 1);
        return;
    }
    if ((cp >= 0x0180 && cp <= 0x024F) || cp == 0x0259 || (cp >= 0x1E00 && cp <= 0x1EFF)) {
        for (const Span& span : kSpans) {
            if (cp >= span.first && cp <= span.last) {
                out += span.folded;
                return;
            }
        }
    }
    if (cp >= 0x0370 && cp <= 0x03FF)
        cp = plainGreek(cp);
    else if (cp >= 0x0400 && cp <= 0x042F)
        cp = plainCyrillic(cp);
    else if (cp == 0x0451)
        cp = plainCyrillic(cp);
    appendUtf8(out, cp);
}

} // namespace

std::optional<std::string> foldText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    char32_t cp;
    while (pos < text.size()) {
        if (!nextCodePoint(text, pos, cp))
            return std::nullopt;
        appendFolded(out, cp);
    }
    return out;
}

} // namespace terrabo::server
