#include "core/plist/date_text.h"
#include "core/plist/xml_writer.h"
#include "platform/plist/plist_file_reader.h"
#include "support/library_fixture.h"

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/stat.h>

namespace platter {
namespace {

using plist::Type;

const PlistFileReader reader;

TEST(PlistFileReader, ReadsWhatRealLibraryFilesContain) {
    // A BOM, CRLF line ends, a comment, numeric references and `<true />` with a space.
    const std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\r\n"
                             "<plist version=\"1.0\">\r\n<dict>\r\n"
                             "\t<!-- a comment -->\r\n"
                             "\t<key>Name</key><string>Rock &#38; Roll &amp; &#x41;&lt;</string>\r\n"
                             "\t<key>Flag</key><true />\r\n"
                             "\t<key>Off</key><false/>\r\n"
                             "\t<key>Empty</key><string></string>\r\n"
                             "\t<key>Size</key><integer>-9223372036854775808</integer>\r\n"
                             "\t<key>Big</key><integer>18446744073709551615</integer>\r\n"
                             "\t<key>Hex</key><integer>0x1F</integer>\r\n"
                             "\t<key>Ratio</key><real>0.25</real>\r\n"
                             "\t<key>Released</key><date>1925-04-10T00:00:00Z</date>\r\n"
                             "\t<key>Future</key><date>2099-01-01T00:00:00Z</date>\r\n"
                             "\t<key>Blob</key><data>\r\n\t\taGVs\r\n\t\tbG8=\r\n\t</data>\r\n"
                             "\t<key>List</key><array/>\r\n"
                             "\t<key>Sub</key><dict/>\r\n"
                             "</dict>\r\n</plist>\r\n";
    const auto r = reader.parse(text);
    ASSERT_TRUE(r.document) << r.error;
    const auto root = r.document->root();
    EXPECT_EQ(*root.stringFor("Name"), "Rock & Roll & A<");
    EXPECT_EQ(root.booleanFor("Flag"), true);
    EXPECT_EQ(root.booleanFor("Off"), false);
    EXPECT_EQ(*root.stringFor("Empty"), "");
    EXPECT_EQ(*root.integerFor("Size"), INT64_MIN);
    EXPECT_TRUE(root.find("Big").integerIsUnsigned());
    EXPECT_EQ(*root.integerFor("Hex"), 31);
    EXPECT_EQ(root.find("Ratio").real(), 0.25);
    EXPECT_EQ(plist::formatDate(root.find("Released").date()), "1925-04-10T00:00:00Z");
    EXPECT_EQ(plist::formatDate(root.find("Future").date()), "2099-01-01T00:00:00Z");
    EXPECT_EQ(root.find("Blob").data(), "hello");
    EXPECT_TRUE(root.find("List").is(Type::Array));
    EXPECT_EQ(root.find("Sub").size(), 0u);
}

TEST(PlistFileReader, WrittenDocumentsReadBackIdentically) {
    plist::Dict d;
    plist::set(d, "text", "a & b < c > d \"q\" 'é' ✓");
    plist::set(d, "neg", std::int64_t{-42});
    plist::set(d, "max", std::int64_t{INT64_MAX});
    plist::set(d, "pi", 3.141592653589793);
    plist::set(d, "tiny", 5e-324);
    plist::set(d, "when", plist::Date{-2208988800}); // 1900
    plist::set(d, "bytes", plist::Data{std::string("\0\x01\xff", 3)});
    plist::set(d, "yes", true);
    plist::set(d, "nested", plist::Array{plist::Dict{{"k", 1}}, plist::Array{}, plist::Dict{}});
    const auto xml = plist::writeXml(d);
    const auto first = reader.parse(xml);
    ASSERT_TRUE(first.document) << first.error;
    // Writing what was read gives the same text: nothing is lost or reformatted on the way.
    EXPECT_EQ(plist::writeXml(first.document->root()), xml);
    const auto back = first.document->root();
    EXPECT_EQ(*back.stringFor("text"), "a & b < c > d \"q\" 'é' ✓");
    EXPECT_EQ(back.find("tiny").real(), 5e-324);
    EXPECT_EQ(back.find("when").date().seconds, -2208988800);
    EXPECT_EQ(back.find("bytes").data(), std::string("\0\x01\xff", 3));
}

TEST(PlistFileReader, WritesTheLibraryApplicationsLayout) {
    const auto xml = plist::writeXml(
        plist::Dict{{"Tracks", plist::Dict{{"1", plist::Dict{{"Track ID", 1}}}}}, {"Flag", true}});
    EXPECT_EQ(xml, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                   "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                   "<plist version=\"1.0\">\n"
                   "<dict>\n"
                   "\t<key>Tracks</key>\n"
                   "\t<dict>\n"
                   "\t\t<key>1</key>\n"
                   "\t\t<dict>\n"
                   "\t\t\t<key>Track ID</key><integer>1</integer>\n"
                   "\t\t</dict>\n"
                   "\t</dict>\n"
                   "\t<key>Flag</key><true/>\n"
                   "</dict>\n"
                   "</plist>\n");
}

TEST(PlistFileReader, ReadsBinaryPropertyLists) {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "Name", plist_new_string("Binary"));
    plist_dict_set_item(root, "Neg", plist_new_uint(static_cast<std::uint64_t>(-5)));
    plist_t arr = plist_new_array();
    plist_array_append_item(arr, plist_new_bool(1));
    plist_array_append_item(arr, plist_new_date(0, 0));
    plist_dict_set_item(root, "List", arr);
    char* bin = nullptr;
    std::uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    plist_free(root);
    const std::string bytes(bin, len);
    std::free(bin);

    testing::TempDir dir;
    const auto r = reader.readFile(dir.write("b.plist", bytes).string());
    ASSERT_TRUE(r.document) << r.error;
    const auto d = r.document->root();
    EXPECT_EQ(*d.stringFor("Name"), "Binary");
    EXPECT_EQ(*d.integerFor("Neg"), -5);
    EXPECT_TRUE(d.find("List").at(0).boolean());
    EXPECT_EQ(plist::formatDate(d.find("List").at(1).date()), "2001-01-01T00:00:00Z");
    EXPECT_FALSE(reader.parse(bytes.substr(0, bytes.size() / 2)).document) << "truncated binary";
}

// A binary property list of the objects given, each already encoded with four-byte references
// to the others by index; the first object is the root.
std::string binaryOf(const std::vector<std::string>& objects) {
    std::string out = "bplist00";
    std::vector<std::uint32_t> offsets;
    for (const auto& o : objects) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        out += o;
    }
    const auto table = out.size();
    const auto be = [&](std::uint64_t v, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    for (const auto o : offsets)
        be(o, 4);
    out += std::string(6, '\0');
    out += '\x04'; // offset size
    out += '\x04'; // reference size
    be(objects.size(), 8);
    be(0, 8);
    be(table, 8);
    return out;
}

std::string ref(std::uint32_t index) {
    return {static_cast<char>(index >> 24), static_cast<char>(index >> 16), static_cast<char>(index >> 8),
            static_cast<char>(index)};
}

TEST(PlistFileReader, BinaryFilesAreBoundedAndTheirTextMadeValid) {
    // 100,000 arrays each holding the next: refused by depth, not by the stack.
    std::vector<std::string> nested;
    for (std::uint32_t i = 0; i + 1 < 100000; ++i)
        nested.push_back("\xA1" + ref(i + 1));
    nested.push_back("\xA0");
    const auto deep = reader.parse(binaryOf(nested));
    EXPECT_FALSE(deep.document);
    EXPECT_NE(deep.error.find("nested deeper than 256"), std::string::npos) << deep.error;

    // Ten arrays of fourteen references to the next: 14^10 values from a few hundred bytes.
    std::vector<std::string> laughs;
    for (std::uint32_t i = 0; i < 10; ++i) {
        std::string array = "\xAE";
        for (int j = 0; j < 14; ++j)
            array += ref(i + 1);
        laughs.push_back(array);
    }
    laughs.push_back("\x51x");
    const auto expanded = reader.parse(binaryOf(laughs));
    EXPECT_FALSE(expanded.document);
    EXPECT_NE(expanded.error.find("too many values"), std::string::npos) << expanded.error;

    // A dictionary whose key and value hold bytes and code units that are no text.
    const std::string utf16{'\x63', '\0', 'A', '\xD8', '\0', '\0', 'B'};
    const auto text = reader.parse(binaryOf({"\xD1" + ref(1) + ref(2), "\x53N\xFF" "m", utf16}));
    ASSERT_TRUE(text.document) << text.error;
    EXPECT_EQ(text.document->root().keyAt(0), "N\uFFFDm");
    EXPECT_EQ(text.document->root().at(0).string(), "A\uFFFDB") << "an unpaired surrogate";
    const auto again = reader.parse(plist::writeXml(plist::Value::copyOf(text.document->root())));
    EXPECT_TRUE(again.document) << "what is written from it reads back: " << again.error;

    EXPECT_FALSE(reader.parse(binaryOf({"\xA1" + ref(0)})).document) << "an array that holds itself";
    EXPECT_FALSE(reader.parse(binaryOf({"\xA1" + ref(7)})).document) << "a reference past the objects";
}

TEST(PlistFileReader, ReadsOnlyRegularFilesAndNoHugeBinaryOne) {
    testing::TempDir dir;
    const auto fifo = dir.path() / "fifo.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto fromFifo = reader.readFile(fifo.string());
    EXPECT_FALSE(fromFifo.document);
    EXPECT_NE(fromFifo.error.find("not a regular file"), std::string::npos) << fromFifo.error;
    EXPECT_FALSE(reader.readFile(dir.path().string()).document) << "a folder";

    // Sparse: the size says 300 MB, and nothing of it is read.
    const auto huge = dir.write("huge.plist", "bplist00");
    std::filesystem::resize_file(huge, std::uint64_t{300} << 20);
    const auto big = reader.readFile(huge.string());
    EXPECT_FALSE(big.document);
    EXPECT_NE(big.error.find("larger than 256 MB"), std::string::npos) << big.error;
}

TEST(PlistFileReader, StreamsFilesLargerThanOneChunk) {
    plist::Array many;
    for (int i = 0; i < 40000; ++i)
        many.emplace_back("item number " + std::to_string(i));
    testing::TempDir dir;
    const auto r = reader.readFile(dir.write("big.plist", plist::writeXml(many)).string());
    ASSERT_TRUE(r.document) << r.error;
    ASSERT_EQ(r.document->root().size(), 40000u);
    EXPECT_EQ(r.document->root().at(39999).string(), "item number 39999");

    // Something only the general parser judges, far past the first chunk: it reads the file
    // again from its start and counts lines from there.
    many.emplace_back("NBSP");
    auto text = plist::writeXml(many);
    text.replace(text.find("NBSP"), 4, "&nbsp;");
    const auto broken = reader.readFile(dir.write("broken.plist", text).string());
    EXPECT_FALSE(broken.document);
    EXPECT_NE(broken.error.find("line 40005"), std::string::npos) << broken.error;
}

TEST(PlistFileReader, RejectsBrokenInputWithAReason) {
    const std::string head = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (const std::string& bad : {
             std::string(),
             std::string("not xml at all"),
             head + "<dict><key>a</key><string>unterminated",
             head + "<dict><key>a</key></dict></plist>",
             head + "<dict><string>no key</string></dict></plist>",
             head + "<dict><key>a</key><integer>12x</integer></dict></plist>",
             head + "<dict><key>a</key><integer>99999999999999999999</integer></dict></plist>",
             head + "<dict><key>a</key><date>yesterday</date></dict></plist>",
             head + "<dict><key>a</key><data>!!</data></dict></plist>",
             head + "<dict><key>a</key><blob/></dict></plist>",
             head + "<dict><key>a</key><string>x<b/></string></dict></plist>",
             head + "<dict>stray</dict></plist>",
             head + "<string>a</string><string>b</string></plist>",
             std::string("<html><body/></html>"),
         }) {
        const auto r = reader.parse(bad);
        EXPECT_FALSE(r.document) << bad;
        EXPECT_FALSE(r.error.empty()) << bad;
    }
}

TEST(PlistFileReader, DeepNestingFailsWithoutExhaustingTheStack) {
    std::string deep = "<plist>";
    for (int i = 0; i < 100000; ++i)
        deep += "<array>";
    const auto r = reader.parse(deep);
    EXPECT_FALSE(r.document);
}

TEST(PlistFileReader, DoesNotExpandEntitiesFromTheDoctype) {
    const std::string text =
        "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">"
        "<!ENTITY y \"expanded\">]><plist><dict><key>a</key><string>&x;&y;</string>"
        "</dict></plist>";
    const auto r = reader.parse(text);
    if (r.document) {
        EXPECT_EQ(r.document->root().stringFor("a")->find("root:"), std::string_view::npos);
    }
}

TEST(PlistFileReader, ReportsUnreadableFiles) {
    testing::TempDir dir;
    EXPECT_FALSE(reader.readFile((dir.path() / "missing.xml").string()).document);
    // A folder opens but fails on the first read, like a failing device.
    const auto r = reader.readFile(dir.path().string());
    EXPECT_FALSE(r.document);
    EXPECT_FALSE(r.error.empty());
}

} // namespace
} // namespace platter
