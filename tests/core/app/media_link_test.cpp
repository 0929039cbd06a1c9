#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

std::shared_ptr<MLMediaObject> object(std::string id, std::string name, std::string album, std::string artist,
                                      std::int64_t type = 1) {
    return std::make_shared<MLMediaObject>(MLMediaObject{
        std::move(id), std::move(name),
        MediaAttributes{{"album", std::move(album)}, {"artist", std::move(artist)}, {"mediaType", type}},
        std::nullopt});
}

class MediaLink : public ::testing::Test {
protected:
    void SetUp() override {
        h.useLibrary(testing::libraryValue({{1, "Twin", "A", "X"},
                                            {2, "Twin", "A", "X"},
                                            {3, "Solo", "B", "Y"},
                                            {4, "Renamed here", "C", "Z"}},
                                           {}));
        h.launch();
        source = std::make_shared<MLMediaSource>();
        music = std::make_shared<MLMediaGroup>(MLMediaGroup{
            {{"typeIdentifier", std::string("com.apple.iTunes.MusicPlaylist")}}, {}, std::nullopt});
        root = std::make_shared<MLMediaGroup>(MLMediaGroup{
            {},
            {std::make_shared<MLMediaGroup>(MLMediaGroup{{{"typeIdentifier", std::string("other")}}, {}, {}}),
             music},
            std::nullopt});
    }
    const MySong& song(std::int64_t id) { return *h.app->library().songsByTrackID.at(id); }

    AppHarness h;
    std::shared_ptr<MLMediaSource> source;
    std::shared_ptr<MLMediaGroup> root, music;
};

TEST_F(MediaLink, FollowsTheChainAndLinksByIdentityThenDescription) {
    h.media.publishSources({{"other", std::make_shared<MLMediaSource>()}});
    EXPECT_FALSE(h.app->mediaLink().source());
    h.media.publishSources({{"com.apple.iTunes", source}});
    EXPECT_EQ(h.app->mediaLink().source(), source);
    EXPECT_TRUE(h.media.isObserving(*source));
    h.media.publishRootGroup(*source, root);
    EXPECT_EQ(h.app->mediaLink().musicGroup(), music) << "the first child of the music type";
    EXPECT_TRUE(h.media.isObserving(*music));

    const auto byIdentity = object(testing::persistentIDOf(4), "Other name", "?", "?");
    const auto twinA = object("x1", "Twin", "A", "X"), twinB = object("x2", "Twin", "A", "X");
    const auto video = object("x3", "Solo", "B", "Y", 2);
    h.media.publishObjects(*music, {video, byIdentity, twinA, twinB});
    EXPECT_EQ(h.app->mediaLink().newest().size(), 3u) << "only audio objects";
    EXPECT_EQ(song(4).mediaObj(), byIdentity) << "the persistent ID decides, whatever the name";
    // Twins in song order take the objects in list order.
    const bool firstIsOne = h.app->library().songs[0]->trackID() == 1;
    EXPECT_EQ(song(1).mediaObj(), firstIsOne ? twinA : twinB);
    EXPECT_EQ(song(2).mediaObj(), firstIsOne ? twinB : twinA);
    EXPECT_FALSE(song(3).mediaObj()) << "a video is never linked";

    // A later change only refreshes the newest objects.
    const auto solo = object("x4", "Solo", "B", "Y");
    h.media.publishObjects(*music, {solo});
    EXPECT_FALSE(song(3).mediaObj());
    ASSERT_EQ(h.app->mediaLink().newest().size(), 1u);

    // The reset links the rebuilt songs against the newest objects.
    h.dialogs.answers = {true};
    h.app->resetAll();
    EXPECT_EQ(song(3).mediaObj(), solo);
    EXPECT_FALSE(song(4).mediaObj());
}

TEST_F(MediaLink, AlreadyLoadedObjectsAreTakenWholeWithoutLinking) {
    root->mediaObjects = MediaObjects{object("x1", "Solo", "B", "Y", 2)};
    source->rootMediaGroup = root;
    h.media.publishSources({{"com.apple.iTunes", source}});
    EXPECT_EQ(h.app->mediaLink().linked().size(), 1u) << "unfiltered";
    EXPECT_FALSE(song(3).mediaObj());
    music->mediaObjects = MediaObjects{object("x2", "Solo", "B", "Y"), object("x3", "Twin", "A", "X")};
    h.media.publishRootGroup(*source, root);
    EXPECT_EQ(h.app->mediaLink().linked().size(), 2u) << "the music group's list, taken whole";
    EXPECT_FALSE(song(3).mediaObj()) << "still no linking";
    h.media.publishRootGroup(*source, std::make_shared<MLMediaGroup>());
    EXPECT_FALSE(h.app->mediaLink().musicGroup()) << "no music group: the chain stops";
    EXPECT_FALSE(h.media.isObserving(*music)) << "the old group is no longer observed";
}

} // namespace
} // namespace platter
