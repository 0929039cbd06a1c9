#include "core/store/link_pages.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

TEST(LinkPages, ArtistPageLinksToTheStoreWithThePartnerKeys) {
    EXPECT_EQ(
        artistHtml("Pink Floyd", "https://music.example/artist/pink-floyd/487143"),
        "<html><body>\n<a href=\"https://music.example/artist/pink-floyd/487143?partnerId=11&amp;at=10qpZK\" "
        "target=\"_blank\"><p><strong>Pink Floyd</strong></p>\n<p>Go to iTunes</p></a></body></html>");
    EXPECT_EQ(withPartnerKeys("https://x/a?uo=4"), "https://x/a?uo=4&partnerId=11&at=10qpZK")
        << "an address with a query keeps its form";
    EXPECT_EQ(withPartnerKeys("https://x/a"), "https://x/a?partnerId=11&at=10qpZK")
        << "one without gets a query";
    EXPECT_EQ(withPartnerKeys("https://x/a?uo=4#tracks"), "https://x/a?uo=4&partnerId=11&at=10qpZK#tracks");
    EXPECT_EQ(withPartnerKeys("https://x/a#?b"), "https://x/a?partnerId=11&at=10qpZK#?b")
        << "the keys stay in the query, before a fragment";
}

TEST(LinkPages, EveryInsertedTextIsEscaped) {
    const auto page = artistHtml("<script>alert(1)</script> & \"Co\"", "https://x/\"onmouseover=\"x");
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;Co&quot;"), std::string::npos);
    EXPECT_NE(page.find("https://x/&quot;onmouseover=&quot;x?partnerId"), std::string::npos);
}

TEST(LinkPages, AlbumPageListsTracksInReplyOrder) {
    MyiTunesAlbum album("Animals", 42, "https://x/album/42?uo=4", "https://x/100x100.jpg");
    const ITunesSongs songs{std::make_shared<const MyiTunesSong>("Dogs", "https://x/p2.m4a", 1, 12),
                            std::make_shared<const MyiTunesSong>("Pigs <3>", "https://x/p1.m4a", 1, 1)};
    EXPECT_EQ(albumHtml(album, songs),
              "<html><body bgcolor=\"#f5f5f5\">\n<p><a "
              "href=\"https://x/album/42?uo=4&amp;partnerId=11&amp;at=10qpZK\" "
              "target=\"_blank\"><img style=\"float: left\" src=\"https://x/100x100.jpg\">Animals<br "
              "clear=\"left\"></a>"
              "</p>\n<p><table>\n<tr><th> </th><th> </th><th>Track</th></tr>\n"
              "<tr><td align=\"right\">12.</td><td><audio src=\"https://x/p2.m4a\" controls preload=\"none\" "
              "style=\"width:110px\"></audio></td><td><small><a "
              "href=\"https://x/album/42?uo=4&amp;partnerId=11&amp;"
              "at=10qpZK\" target=\"_blank\">Dogs</a></small></td></tr>\n"
              "<tr><td align=\"right\">1.</td><td><audio src=\"https://x/p1.m4a\" controls preload=\"none\" "
              "style=\"width:110px\"></audio></td><td><small><a "
              "href=\"https://x/album/42?uo=4&amp;partnerId=11&amp;"
              "at=10qpZK\" target=\"_blank\">Pigs &lt;3&gt;</a></small></td></tr>\n"
              "</table></p>\n</body></html>");
}

} // namespace
} // namespace platter
