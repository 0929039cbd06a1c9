#pragma once

// Follows the media library down to its music tracks and links the songs to them: by
// persistent ID, then by name, album and artist. Songs are linked the first time objects
// arrive; later changes wait for `relink`, as at a reset.

#include "core/model/library.h"
#include "core/services/media_library.h"

#include <memory>

namespace platter {

class MediaLink final : private MediaLibrary::Observer {
public:
    // Without a media library nothing is linked.
    MediaLink(MediaLibrary* mediaLibrary, const Library& library);
    ~MediaLink() override;
    MediaLink(const MediaLink&) = delete;
    MediaLink& operator=(const MediaLink&) = delete;

    // Links the model's songs to the newest audio objects.
    void relink();

    const std::shared_ptr<MLMediaSource>& source() const { return source_; }
    const std::shared_ptr<MLMediaGroup>& musicGroup() const { return musicGroup_; }
    // The objects the songs were linked against, and the newest audio ones heard of.
    const MediaObjects& linked() const { return linked_; }
    const MediaObjects& newest() const { return newest_; }

private:
    void link();
    void mediaSourcesChanged(const MediaSources& sources) override;
    void rootMediaGroupChanged(const MLMediaSource& source, const std::shared_ptr<MLMediaGroup>& root) override;
    void mediaObjectsChanged(const MLMediaGroup& group, const MediaObjects& objects) override;

    MediaLibrary* mediaLibrary_;
    const Library& library_;
    std::shared_ptr<MLMediaSource> source_;
    std::shared_ptr<MLMediaGroup> musicGroup_;
    MediaObjects linked_;
    MediaObjects newest_;
};

} // namespace platter
