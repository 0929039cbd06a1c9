#include "platform/media/qt_cover_store.h"

#include "core/text/md5.h"
#include "platform/files/atomic_file.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace platter {

namespace {

// A kept cover is a few kilobytes; anything much larger is not one of ours.
constexpr std::uintmax_t keptAtMost = 1 << 20;

std::optional<QImage> decoded(const QByteArray& bytes, int edge) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const auto size = reader.size();
    if (size.isValid() && (size.width() > edge || size.height() > edge))
        reader.setScaledSize(size.scaled(edge, edge, Qt::KeepAspectRatio).expandedTo({1, 1}));
    auto image = reader.read();
    if (image.isNull()) return std::nullopt;
    // A reader that could not scale while decoding leaves it to us.
    if (image.width() > edge || image.height() > edge)
        image = image.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

QtCoverStore::QtCoverStore(std::string folder) : folder_(std::move(folder)) {
    removeStaleTemporariesIn(folder_);
}

std::string QtCoverStore::fileFor(const std::string& audioPath) const {
    std::error_code error;
    const auto size = std::filesystem::file_size(audioPath, error);
    if (error) return {};
    const auto changed = std::filesystem::last_write_time(audioPath, error);
    if (error) return {};
    const auto key = audioPath + '\0' + std::to_string(size) + '\0' +
                     std::to_string(changed.time_since_epoch().count());
    return folder_ + "/" + md5Hex(key) + ".png";
}

std::optional<std::string> QtCoverStore::kept(const std::string& audioPath) const {
    const auto file = fileFor(audioPath);
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error) ||
        std::filesystem::file_size(file, error) > keptAtMost || error)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A cut or damaged file is made again from the artwork.
    if (!in.eof() && in.fail()) return std::nullopt;
    if (!decoded(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())), edge))
        return std::nullopt;
    return bytes;
}

std::optional<std::string> QtCoverStore::make(const std::string& audioPath, std::string_view artwork) {
    const auto image =
        decoded(QByteArray::fromRawData(artwork.data(), static_cast<qsizetype>(artwork.size())), edge);
    if (!image) return std::nullopt;
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!image->save(&out, "PNG")) return std::nullopt;
    std::string bytes(png.constData(), static_cast<std::size_t>(png.size()));
    // Unwritable, it is made again next time; this run shows it all the same.
    if (const auto file = fileFor(audioPath); !file.empty())
        (void)writeFileAtomically(file, bytes, SymbolicLink::Replace);
    return bytes;
}

} // namespace platter
