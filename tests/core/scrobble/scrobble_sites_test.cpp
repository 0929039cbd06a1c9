// What each site is sent and how its answers are read.

#include "core/model/my_song.h"
#include "core/plist/xml_writer.h"
#include "core/scrobble/audioscrobbler.h"
#include "core/scrobble/listenbrainz.h"
#include "core/text/md5.h"
#include "core/text/string_rules.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/text/icu_unicode_rules.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using Kind = SendOutcome::Kind;
using Response = HttpFetch::Response;
using namespace std::chrono_literals;

Response reply(long status, std::string body = {}, std::map<std::string, std::string> headers = {}) {
    return {status >= 200 && status < 300, status, std::move(body), "", std::move(headers)};
}

const ListenRecord song{.startedAt = 1700000000, .title = "Sä & Co", .artist = "Nova", .album = "Lumen",
                        .albumArtist = "Various", .trackNumber = 3, .durationSeconds = 241};

TEST(Md5, KnownDigestsAcrossBlockBoundaries) {
    EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Hex("The quick brown fox jumps over the lazy dog"), "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(ListenBrainzSite, ListensCarryTheSongAndThePlayer) {
    const ListenBrainz site("tok", "https://lb.example/", "2.1");
    const auto payload = site.payload(song);
    ASSERT_TRUE(payload);
    EXPECT_EQ(*payload, R"({"listened_at":1700000000,"track_metadata":{"additional_info":{"duration_ms":241000,)"
                        R"("media_player":"Platter","media_player_version":"2.1","release_artist_name":"Various",)"
                        R"("submission_client":"Platter","submission_client_version":"2.1","tracknumber":3},)"
                        R"("artist_name":"Nova","release_name":"Lumen","track_name":"Sä & Co"}})");
    const auto request = site.submit({*payload});
    EXPECT_EQ(request.url, "https://lb.example/1/submit-listens");
    EXPECT_EQ(request.body, R"({"listen_type":"single","payload":[)" + *payload + "]}");
    const auto now = site.nowPlaying(song);
    EXPECT_EQ(now.body.find(R"({"listen_type":"playing_now","payload":[{"track_metadata":{)"), 0u);
    EXPECT_EQ(now.body.find("listened_at"), std::string::npos);
    EXPECT_EQ(site.validateToken().url, "https://lb.example/1/validate-token");
    EXPECT_EQ(ListenBrainz::validUser(reply(200, R"({"code":200,"valid":true,"user_name":"ann"})")), "ann");
    EXPECT_FALSE(ListenBrainz::validUser(reply(200, R"({"code":200,"valid":false})")));
}

TEST(ListenBrainzSite, AnswersMapToWhatBecomesOfTheListens) {
    const ListenBrainz site("tok");
    EXPECT_EQ(site.outcome(reply(200)), (SendOutcome{Kind::Accepted, {}}));
    EXPECT_EQ(site.outcome(reply(200, "", {{"x-ratelimit-remaining", "0"}, {"x-ratelimit-reset-in", "4"}})),
              (SendOutcome{Kind::Accepted, 4s}))
        << "the allowance is spent: the next send waits";
    EXPECT_EQ(site.outcome(reply(401)).kind, Kind::CredentialsRejected);
    EXPECT_EQ(site.outcome(reply(400)).kind, Kind::Refused);
    EXPECT_EQ(site.outcome(reply(429, "", {{"x-ratelimit-reset-in", "9"}})), (SendOutcome{Kind::Retry, 9s}));
    EXPECT_EQ(site.outcome(reply(503, "", {{"retry-after", "soon"}})), (SendOutcome{Kind::Retry, {}}));
    EXPECT_EQ(site.outcome(reply(0)).kind, Kind::Retry) << "no answer at all";
}

TEST(AudioscrobblerSite, BatchesAreIndexedAndSigned) {
    const Audioscrobbler site(Audioscrobbler::libreFm(), {"key", "secret", "sess"});
    const auto one = *site.payload(song);
    const auto request = site.submit({one, *site.payload({.startedAt = 5, .title = "B", .artist = "C"})});
    EXPECT_EQ(request.url, "https://libre.fm/2.0/");
    const std::map<std::string, std::string> signedParameters = {
        {"album[0]", "Lumen"}, {"albumArtist[0]", "Various"}, {"api_key", "key"}, {"artist[0]", "Nova"},
        {"artist[1]", "C"}, {"duration[0]", "241"}, {"method", "track.scrobble"}, {"sk", "sess"},
        {"timestamp[0]", "1700000000"}, {"timestamp[1]", "5"}, {"track[0]", "Sä & Co"}, {"track[1]", "B"},
        {"trackNumber[0]", "3"}};
    std::string text;
    for (const auto& [name, value] : signedParameters)
        text += name + value;
    EXPECT_EQ(Audioscrobbler::signature(signedParameters, "secret"), md5Hex(text + "secret"));
    EXPECT_EQ(request.body, "albumArtist%5B0%5D=Various&album%5B0%5D=Lumen&api_key=key&api_sig=" +
                                md5Hex(text + "secret") +
                                "&artist%5B0%5D=Nova&artist%5B1%5D=C&duration%5B0%5D=241&format=json"
                                "&method=track.scrobble&sk=sess&timestamp%5B0%5D=1700000000&timestamp%5B1%5D=5"
                                "&trackNumber%5B0%5D=3&track%5B0%5D=S%C3%A4%20%26%20Co&track%5B1%5D=B");
    EXPECT_NE(site.nowPlaying(song).body.find("method=track.updateNowPlaying"), std::string::npos);
}

TEST(AudioscrobblerSite, ErrorCodesAndTheApproval) {
    const Audioscrobbler site(Audioscrobbler::lastFm(), {"key", "secret", ""});
    EXPECT_EQ(site.outcome(reply(200, R"({"scrobbles":{"@attr":{"accepted":1,"ignored":1}}})")).kind, Kind::Accepted);
    EXPECT_EQ(site.outcome(reply(403, R"({"error":9,"message":"Invalid session key"})")).kind,
              Kind::CredentialsRejected);
    EXPECT_EQ(site.outcome(reply(200, R"({"error":11,"message":"Offline"})")).kind, Kind::Retry);
    EXPECT_EQ(site.outcome(reply(429, R"({"error":29})", {{"retry-after", "60"}})), (SendOutcome{Kind::Retry, 60s}));
    EXPECT_EQ(site.outcome(reply(400, R"({"error":6,"message":"Invalid parameters"})")).kind, Kind::Refused);
    EXPECT_EQ(site.outcome(reply(502, "<html>")).kind, Kind::Retry);

    EXPECT_EQ(site.tokenRequest().url.find("https://ws.audioscrobbler.com/2.0/?api_key=key&api_sig="), 0u);
    EXPECT_EQ(Audioscrobbler::token(reply(200, R"({"token":"T1"})")), "T1");
    EXPECT_EQ(site.approvalPage("T1"), "https://www.last.fm/api/auth/?api_key=key&token=T1");
    using S = Audioscrobbler::SessionAnswer::Kind;
    EXPECT_EQ(Audioscrobbler::session(reply(403, R"({"error":14})")).kind, S::NotYetApproved);
    EXPECT_EQ(Audioscrobbler::session(reply(0)).kind, S::NotYetApproved) << "the network, not the user";
    EXPECT_EQ(Audioscrobbler::session(reply(403, R"({"error":15})")).kind, S::Failed);
    const auto approved = Audioscrobbler::session(reply(200, R"({"session":{"name":"ann","key":"SK","subscriber":0}})"));
    EXPECT_EQ(approved.kind, S::Approved);
    EXPECT_EQ(approved.sessionKey, "SK");
    EXPECT_EQ(approved.userName, "ann");
}

TEST(ListenRecordOfSong, TheTrackOwnEntriesWithoutPlaceholders) {
    PlistFileReader reader;
    IcuUnicodeRules icu;
    StringRules rules{icu};
    const auto make = [&](plist::Dict track) {
        const auto r = reader.parse(plist::writeXml(std::move(track)));
        const auto root = r.document->root();
        return std::make_shared<MySong>(7, root.stringFor("Name").value_or(""), root.stringFor("Album").value_or(""),
                                        241400, TrackDict{r.document, root}, TrackReader(*r.document).read(root), rules);
    };
    const auto full = make({{"Name", "T"}, {"Artist", "A"}, {"Album", "L"}, {"Track Number", 4}});
    EXPECT_EQ(listenRecord(*full, 99),
              (ListenRecord{.startedAt = 99, .title = "T", .artist = "A", .album = "L", .trackNumber = 4,
                            .durationSeconds = 241}));
    EXPECT_FALSE(listenRecord(*make({{"Name", "T"}}), 99)) << "no artist";
    EXPECT_FALSE(listenRecord(*make({{"Artist", "A"}}), 99)) << "no title";
}

} // namespace
} // namespace platter
