#include "ui/song_file_look.h"

#include "core/model/my_song.h"

#include <QCoreApplication>
#include <QPalette>

namespace platter {

QVariant songFileForeground(const MySong& song) {
    const auto status = song.fileStatus();
    if (status != SongFile::Status::NotFound && status != SongFile::Status::NoFile) return {};
    return QPalette().brush(QPalette::Disabled, QPalette::Text);
}

QVariant songFileToolTip(const MySong& song) {
    switch (song.fileStatus()) {
    case SongFile::Status::NotFound:
        return QCoreApplication::translate("platter::SongFileLook",
                                           "The file of this song is not on this computer.\nLooked for: %1")
            .arg(QString::fromUtf8(song.filePath().data(), static_cast<qsizetype>(song.filePath().size())));
    case SongFile::Status::NoFile:
        return QCoreApplication::translate(
            "platter::SongFileLook", "This song has no file: it is a stream or a song kept in the cloud.");
    default:
        return {};
    }
}

} // namespace platter
