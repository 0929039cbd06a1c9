#include "platform/media/taglib_media_files.h"
#include "support/audio_fixture.h"
#include "support/library_fixture.h"

#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>

namespace platter {
namespace {

using testing::AudioFormat;

const std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + "a small jpeg";
const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + "a small png";

class TaglibMediaFilesTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    TaglibMediaFiles files;
};

TEST_F(TaglibMediaFilesTest, ReadsLengthsWithoutDecoding) {
    for (const auto& [name, format] :
         {std::pair{"a.wav", AudioFormat::Wav}, std::pair{"a.flac", AudioFormat::Flac},
          std::pair{"a.ogg", AudioFormat::Ogg}, std::pair{"a.mp3", AudioFormat::Mp3},
          std::pair{"a.m4a", AudioFormat::M4a}}) {
        testing::makeTone(dir.path() / name, format, 2.0);
        const auto seconds = files.duration((dir.path() / name).string());
        ASSERT_TRUE(seconds) << name;
        EXPECT_NEAR(*seconds, 2.0, 0.1) << name;
    }
    EXPECT_FALSE(files.duration((dir.path() / "missing.mp3").string()));
    EXPECT_FALSE(files.duration(dir.write("broken.mp3", "not audio at all").string()));
    EXPECT_FALSE(files.duration(dir.path().string())) << "a folder";
}

TEST_F(TaglibMediaFilesTest, FindsEmbeddedPicturesFrontCoverFirst) {
    const auto mp3 = dir.path() / "a.mp3";
    testing::makeTone(mp3, AudioFormat::Mp3, 0.5);
    {
        TagLib::MPEG::File f(mp3.c_str());
        auto* tag = f.ID3v2Tag(true);
        for (const auto& [type, bytes] : {std::pair{TagLib::ID3v2::AttachedPictureFrame::BackCover, png},
                                          std::pair{TagLib::ID3v2::AttachedPictureFrame::FrontCover, jpeg}}) {
            auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
            frame->setType(type);
            frame->setPicture(TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size())));
            tag->addFrame(frame);
        }
        ASSERT_TRUE(f.save());
    }
    EXPECT_EQ(files.artwork(mp3.string()), jpeg);

    const auto flac = dir.path() / "a.flac";
    testing::makeTone(flac, AudioFormat::Flac, 0.5);
    {
        TagLib::FLAC::File f(flac.c_str());
        auto* picture = new TagLib::FLAC::Picture;
        picture->setType(TagLib::FLAC::Picture::FrontCover);
        picture->setMimeType("image/png");
        picture->setData(TagLib::ByteVector(png.data(), static_cast<unsigned>(png.size())));
        f.addPicture(picture);
        ASSERT_TRUE(f.save());
    }
    EXPECT_EQ(files.artwork(flac.string()), png);

    const auto m4a = dir.path() / "a.m4a";
    testing::makeTone(m4a, AudioFormat::M4a, 0.5);
    {
        TagLib::MP4::File f(m4a.c_str());
        TagLib::MP4::CoverArtList covers;
        covers.append(
            TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::JPEG,
                                  TagLib::ByteVector(jpeg.data(), static_cast<unsigned>(jpeg.size()))));
        f.tag()->setItem("covr", covers);
        ASSERT_TRUE(f.save());
    }
    EXPECT_EQ(files.artwork(m4a.string()), jpeg);
}

TEST_F(TaglibMediaFilesTest, FallsBackToAnImageBesideTheFileReadOncePerFolder) {
    std::filesystem::create_directories(dir.path() / "album");
    const auto ogg = dir.path() / "album" / "a.ogg", next = dir.path() / "album" / "b.ogg";
    testing::makeTone(ogg, AudioFormat::Ogg, 0.5);
    std::filesystem::copy_file(ogg, next);
    EXPECT_FALSE(TaglibMediaFiles().artwork(ogg.string()));
    dir.write("album/Front.PNG", png);
    EXPECT_EQ(TaglibMediaFiles().artwork(ogg.string()), png);
    dir.write("album/Cover.JPG", jpeg);
    EXPECT_EQ(files.artwork(ogg.string()), jpeg) << "cover before front";
    dir.write("album/Cover.JPG", "changed since");
    EXPECT_EQ(files.artwork(next.string()), jpeg) << "the folder's image was read for the song before";
    EXPECT_FALSE(files.artwork((dir.path() / "nowhere" / "a.ogg").string()));

    // A 2 GB "cover" is no cover, and is not read.
    std::filesystem::create_directories(dir.path() / "huge");
    std::filesystem::copy_file(ogg, dir.path() / "huge" / "a.ogg");
    std::filesystem::resize_file(dir.write("huge/cover.jpg", jpeg), std::uintmax_t{2} << 30);
    EXPECT_FALSE(files.artwork((dir.path() / "huge" / "a.ogg").string()));
}

} // namespace
} // namespace platter

namespace platter {
namespace {

TEST(TaglibMusicFiles, ListsAudioFilesBelowAFolderAndReadsTheirTags) {
    testing::TempDir dir;
    TaglibMediaFiles files;
    const auto tags = std::string("title=Song,album=Album,artist=Artist");
    for (const auto& [name, format] : {std::pair{"a/1.flac", AudioFormat::Flac}, std::pair{"a/b/2.ogg", AudioFormat::Ogg},
                                       std::pair{"3.MP3", AudioFormat::Mp3}, std::pair{"4.m4a", AudioFormat::M4a}}) {
        std::filesystem::create_directories((dir.path() / name).parent_path());
        testing::makeTone(dir.path() / name, format, 1.0, 440, tags);
    }
    dir.write("notes.txt", "no audio");
    dir.write("broken.mp3", "not audio at all");
    std::filesystem::create_directories(dir.path() / ".hidden");
    testing::makeTone(dir.path() / ".hidden/5.flac", AudioFormat::Flac, 0.5);

    std::vector<std::string> names;
    for (const auto& f : files.audioFilesBelow(dir.path().string())) {
        names.push_back(std::filesystem::relative(f.path, dir.path()).string());
        EXPECT_GT(f.size, 0);
        EXPECT_GT(f.modifiedNs, 1'500'000'000'000'000'000);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"3.MP3", "4.m4a", "a/1.flac", "a/b/2.ogg", "broken.mp3"}));
    EXPECT_TRUE(files.audioFilesBelow((dir.path() / "missing").string()).empty());

    EXPECT_TRUE(files.tags((dir.path() / "4.m4a").string()));
    for (const auto* name : {"a/1.flac", "a/b/2.ogg", "3.MP3"}) {
        const auto read = files.tags((dir.path() / name).string());
        ASSERT_TRUE(read) << name;
        EXPECT_EQ(read->title, "Song") << name;
        EXPECT_EQ(read->album, "Album") << name;
        EXPECT_EQ(read->artist, "Artist") << name;
        EXPECT_NEAR(static_cast<double>(read->lengthMs), 1000, 100) << name;
    }
    EXPECT_FALSE(files.tags((dir.path() / "broken.mp3").string()));
    EXPECT_FALSE(files.tags((dir.path() / "notes.txt").string()));
}

} // namespace
} // namespace platter
