#include "platform/media/qt_cover_store.h"
#include "support/app_harness.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

std::string pngOf(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    return bytes.toStdString();
}

QSize sizeOf(const AlbumCovers::CoverPtr& cover) {
    return cover ? QImage::fromData(QByteArray::fromStdString(cover->image)).size() : QSize();
}

void runAll(AppHarness& h) {
    while (!h.tasks.background.empty() || !h.tasks.main.empty()) h.finishTasks();
}

// Three one-song albums: a good picture, artwork that is no image, and none.
TEST(AlbumCovers, AreReadOnceForTheAlbumsAskedThenFromTheStoreAndDropWhatIsNoLongerWanted) {
    AppHarness h;
    QtCoverStore store((h.dir.path() / "covers").string());
    h.covers = &store;
    h.artwork.images["song0.mp3"] = pngOf(400, 300);
    h.artwork.images["song1.mp3"] = std::string("\x89PNG\r\n\x1a\n garbage", 17);
    h.launchPlayable(3, 60);
    const auto& albums = h.playlist("P").albums();
    auto& covers = h.app->albumCovers();
    std::vector<std::string> heard;
    covers.listen(&heard, [&](const MyAlbum& album) { heard.push_back(album.albumName()); });

    const auto before = h.tasks.background.size();
    for (int twice = 0; twice < 2; ++twice)
        for (const auto& album : albums) EXPECT_EQ(covers.cover(album), nullptr);
    EXPECT_EQ(h.tasks.background.size(), before + 1) << "one album at a time";
    runAll(h);
    EXPECT_EQ(h.artwork.reads, 3) << "each album read once, however often it was asked for";
    EXPECT_EQ(heard, std::vector<std::string>{"album 1000"}) << "only an arrived cover changes a row";
    EXPECT_EQ(sizeOf(covers.cover(albums[0])), QSize(QtCoverStore::edge, QtCoverStore::edge * 3 / 4));
    for (const auto& none : {albums[1], albums[2]}) {
        EXPECT_EQ(covers.state(*none), AlbumCovers::State::None) << "a broken picture is the same as none";
        EXPECT_EQ(covers.cover(none), nullptr);
    }
    runAll(h);
    EXPECT_EQ(h.artwork.reads, 3) << "an album without a cover is not read again in this run";

    // The next run reads the small file, not the tags, until the audio file changes or the small
    // file is damaged.
    const auto song0 = (h.dir.path() / "song0.mp3").string();
    const auto readNextRun = [&] {
        AlbumCovers next({h.tasks, h.artwork, &store});
        next.cover(albums[0]);
        runAll(h);
        return sizeOf(next.cover(albums[0]));
    };
    EXPECT_EQ(readNextRun().width(), QtCoverStore::edge);
    EXPECT_EQ(h.artwork.reads, 3);
    h.dir.write("song0.mp3", "audio, tagged anew");
    EXPECT_EQ(readNextRun().width(), QtCoverStore::edge);
    EXPECT_EQ(h.artwork.reads, 4);
    h.dir.write(std::filesystem::relative(store.fileFor(song0), h.dir.path()).string(), "cut sho");
    EXPECT_EQ(readNextRun().width(), QtCoverStore::edge);
    EXPECT_EQ(h.artwork.reads, 5);

    // Another playlist shows: what waits is dropped, the one being read stops before its tags,
    // and all are asked for afresh when they show again.
    AlbumCovers later({h.tasks, h.artwork, &store});
    for (const auto& album : albums) later.cover(album);
    later.cancelWaiting();
    runAll(h);
    EXPECT_EQ(h.artwork.reads, 5);
    for (const auto& album : albums) EXPECT_EQ(later.state(*album), AlbumCovers::State::Unknown);
    later.cover(albums[0]);
    runAll(h);
    EXPECT_NE(later.cover(albums[0]), nullptr);
}

} // namespace
} // namespace platter
