#include "core/plist/xml_writer.h"
#include "platform/plist/plain_xml_scanner.h"
#include "platform/plist/plist_file_reader.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace platter {
namespace {

// The scanner over `text` delivered `piece` bytes at a time into a buffer of that size, so
// every token is cut at every place once across the pieces.
std::shared_ptr<const plist::Document> scanInPieces(std::string_view text, std::size_t piece) {
    bool readFailed = false;
    auto document = scanPlainXml(
        std::string(piece, '\0'), 0,
        [&](char* into, std::size_t room) {
            const auto n = std::min({room, piece, text.size()});
            std::memcpy(into, text.data(), n);
            text.remove_prefix(n);
            return static_cast<long>(n);
        },
        readFailed);
    EXPECT_FALSE(readFailed);
    return document;
}

std::string written(const std::shared_ptr<const plist::Document>& d) {
    return d ? plist::writeXml(d->root()) : "(none)";
}

const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

TEST(PlainXmlScanner, ReadsWhatLibxml2ReadsWhereverTheInputIsCut) {
    const std::string documents[] = {
        head +
            "<plist version=\"1.0\">\n<dict>\n\t<key>Name</key><string>Plain</string>\n</dict>\n</plist>\n",
        "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8' standalone='yes'?>\r\n<plist version='1.0'><dict>"
        "<key>A</key><string>line\r\nends\rhere</string><key>B</key><true />"
        "<key>C</key><string>x &amp; &lt;y&gt; &#38; &#x263A; &#x1F3B5; &quot;&apos;</string>"
        "<key>D</key><string>a<!-- not text -->b<![CDATA[<&c]]>d</string>"
        "<key >E</key ><integer>-12</integer><key>F</key><array><real>0.5</real><false/></array>"
        "<key>G</key><data>aGVs\n bG8=</data><key>H</key><date>2001-02-03T04:05:06Z</date>"
        "<key>I</key><string>ü → ♪ 𝄞 ] ]] > done</string><key>J</key><string/><key>K</key><dict/>"
        "</dict></plist><!-- after -->\n",
        "<array><string>bare root, no declaration</string></array>",
    };
    for (const auto& text : documents) {
        const auto expected = PlistFileReader::parseWithLibxml2(text);
        ASSERT_TRUE(expected.document) << expected.error << "\n" << text;
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, text.size()})
            EXPECT_EQ(written(scanInPieces(text, piece)), written(expected.document))
                << "piece " << piece << "\n"
                << text;
    }
}

TEST(PlainXmlScanner, StepsAsideWhereLibxml2MustJudge) {
    const auto wrap = [](std::string_view inner) {
        return head + "<plist version=\"1.0\"><dict><key>K</key>" + std::string(inner) + "</dict></plist>";
    };
    std::string deep = head + "<plist>";
    for (int i = 0; i < 300; ++i)
        deep += "<array>";
    const std::string cases[] = {
        wrap("<string>\xC3(</string>"),              // malformed UTF-8
        wrap("<string>\xED\xA0\x80</string>"),       // a surrogate
        wrap("<string>\xEF\xBF\xBE</string>"),       // U+FFFE
        wrap("<string>a\x01z</string>"),             // a control character
        wrap("<string>&#0;</string>"),               // a reference to no character
        wrap("<string>&nbsp;</string>"),             // an entity not declared
        wrap("<string>a ]]> b</string>"),            // CDATA's end in plain text
        wrap("<string>a</key>"),                     // mismatched tags
        wrap("<string><string>x</string></string>"), // an element inside a leaf
        wrap("<x:string>a</x:string>"),              // a namespace prefix
        wrap("<string a=\"1\" a=\"2\">x</string>"),  // a repeated attribute
        wrap("<!-- a -- b --><string/>"),            // two dashes inside a comment
        wrap("<?pi here?><string/>"),                // a processing instruction
        wrap("stray<string/>"),                      // text outside a value
        wrap("<integer>twelve</integer>"),           // a value that is none of its type
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>caf\xE9</string></plist>",
        "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY e \"x\">]><plist><string>&e;</string></plist>",
        std::string("\xFF\xFE<\0p\0", 6),             // UTF-16
        head + "<plist><dict></dict></plist><dict/>", // a second root
        head + "<plist><dict>",                       // cut short
        deep,
    };
    const PlistFileReader reader;
    for (const auto& text : cases) {
        EXPECT_FALSE(scanInPieces(text, text.size())) << text;
        // What the reader then says is libxml2's word, error or document alike.
        const auto expected = PlistFileReader::parseWithLibxml2(text);
        const auto got = reader.parse(text);
        EXPECT_EQ(got.error, expected.error) << text;
        EXPECT_EQ(written(got.document), written(expected.document)) << text;
    }
}

} // namespace
} // namespace platter
