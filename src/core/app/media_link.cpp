// Following the media library down to its music tracks, and linking songs to them.

#include "core/app/media_link.h"

namespace platter {

namespace {

std::optional<std::string_view> textAttribute(const MLMediaObject& object, std::string_view key) {
    const auto it = object.attributes.find(std::string(key));
    if (it == object.attributes.end()) return std::nullopt;
    const auto* text = std::get_if<std::string>(&it->second);
    return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

} // namespace

MediaLink::MediaLink(MediaLibrary* mediaLibrary, const Library& library)
    : mediaLibrary_(mediaLibrary), library_(library) {
    if (!mediaLibrary_) return;
    mediaLibrary_->setObserver(this);
    // Reading the sources starts the library's loading; they arrive through the observer.
    (void)mediaLibrary_->mediaSources();
}

MediaLink::~MediaLink() {
    if (mediaLibrary_) mediaLibrary_->setObserver(nullptr);
}

void MediaLink::relink() {
    linked_ = newest_;
    link();
}

void MediaLink::mediaSourcesChanged(const MediaSources& sources) {
    auto& library = *mediaLibrary_;
    if (source_) library.observeRootMediaGroup(*source_, false);
    const auto found = sources.find(std::string(MediaLibrary::iTunesSourceIdentifier));
    source_ = found == sources.end() ? nullptr : found->second;
    if (!source_) return;
    library.observeRootMediaGroup(*source_, true);
    if (source_->rootMediaGroup && source_->rootMediaGroup->mediaObjects)
        linked_ = *source_->rootMediaGroup->mediaObjects;
}

void MediaLink::rootMediaGroupChanged(const MLMediaSource&, const std::shared_ptr<MLMediaGroup>& root) {
    auto& library = *mediaLibrary_;
    if (musicGroup_) library.observeMediaObjects(*musicGroup_, false);
    musicGroup_.reset();
    if (!root) return;
    for (const auto& child : root->childGroups) {
        const auto type = child->attributes.find(std::string(MediaLibrary::typeIdentifierKey));
        if (type != child->attributes.end() &&
            type->second == MediaAttribute(std::string(MediaLibrary::musicGroupType))) {
            musicGroup_ = child;
            break;
        }
    }
    if (!musicGroup_) return;
    library.observeMediaObjects(*musicGroup_, true);
    if (musicGroup_->mediaObjects) linked_ = *musicGroup_->mediaObjects;
}

void MediaLink::mediaObjectsChanged(const MLMediaGroup&, const MediaObjects& objects) {
    newest_.clear();
    for (const auto& object : objects) {
        const auto type = object->attributes.find(std::string(MediaLibrary::mediaTypeKey));
        if (type != object->attributes.end() && type->second == MediaAttribute(std::int64_t{1}))
            newest_.push_back(object);
    }
    // Songs are linked the first time objects arrive; later changes wait for a reset.
    if (!linked_.empty()) return;
    linked_ = newest_;
    link();
}

void MediaLink::link() {
    MediaObjects unmatched;
    for (const auto& object : linked_) {
        if (const auto* song = library_.songsByPersistentID.find(object->identifier))
            (*song)->setMediaObj(object);
        else
            unmatched.push_back(object);
    }
    for (const auto& song : library_.songs) {
        if (song->mediaObj()) continue;
        for (auto it = unmatched.begin(); it != unmatched.end(); ++it) {
            const auto& object = **it;
            if (object.name && *object.name == song->name() &&
                textAttribute(object, MediaLibrary::albumKey) == song->album() &&
                textAttribute(object, MediaLibrary::artistKey) == song->artist()) {
                song->setMediaObj(*it);
                unmatched.erase(it);
                break;
            }
        }
    }
}

} // namespace platter
