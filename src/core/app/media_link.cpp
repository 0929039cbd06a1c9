// Following the media library down to its music tracks, and linking songs to them.

#include "core/app/app_delegate.h"

namespace platter {

namespace {

std::optional<std::string_view> textAttribute(const MLMediaObject& object, std::string_view key) {
    const auto it = object.attributes.find(std::string(key));
    if (it == object.attributes.end()) return std::nullopt;
    const auto* text = std::get_if<std::string>(&it->second);
    return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

} // namespace

void AppDelegate::mediaSourcesChanged(const MediaSources& sources) {
    auto& library = *services_.mediaLibrary;
    if (myiTunes_) library.observeRootMediaGroup(*myiTunes_, false);
    const auto found = sources.find(std::string(MediaLibrary::iTunesSourceIdentifier));
    myiTunes_ = found == sources.end() ? nullptr : found->second;
    if (!myiTunes_) return;
    library.observeRootMediaGroup(*myiTunes_, true);
    if (myiTunes_->rootMediaGroup && myiTunes_->rootMediaGroup->mediaObjects)
        allMediaObjs_ = *myiTunes_->rootMediaGroup->mediaObjects;
}

void AppDelegate::rootMediaGroupChanged(const MLMediaSource&, const std::shared_ptr<MLMediaGroup>& root) {
    auto& library = *services_.mediaLibrary;
    if (musicMediaGroup_) library.observeMediaObjects(*musicMediaGroup_, false);
    rootMediaGroup_ = root;
    musicMediaGroup_.reset();
    if (!root) return;
    for (const auto& child : root->childGroups) {
        const auto type = child->attributes.find(std::string(MediaLibrary::typeIdentifierKey));
        if (type != child->attributes.end() &&
            type->second == MediaAttribute(std::string(MediaLibrary::musicGroupType))) {
            musicMediaGroup_ = child;
            break;
        }
    }
    if (!musicMediaGroup_) return;
    library.observeMediaObjects(*musicMediaGroup_, true);
    if (musicMediaGroup_->mediaObjects) allMediaObjs_ = *musicMediaGroup_->mediaObjects;
}

void AppDelegate::mediaObjectsChanged(const MLMediaGroup&, const MediaObjects& objects) {
    newestMediaObjs_.clear();
    for (const auto& object : objects) {
        const auto type = object->attributes.find(std::string(MediaLibrary::mediaTypeKey));
        if (type != object->attributes.end() && type->second == MediaAttribute(std::int64_t{1}))
            newestMediaObjs_.push_back(object);
    }
    // Songs are linked the first time objects arrive; later changes wait for a reset.
    if (!allMediaObjs_.empty()) return;
    allMediaObjs_ = newestMediaObjs_;
    setMediaObjects();
}

void AppDelegate::setMediaObjects() {
    MediaObjects unmatched;
    for (const auto& object : allMediaObjs_) {
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
