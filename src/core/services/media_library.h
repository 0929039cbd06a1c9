#pragma once

// The operating system's media library, as the music library application offers it: sources,
// their groups and the media objects describing tracks, each property reported anew when it
// changes. Linux has no such service; the application runs with none, and the linking logic
// is exercised through the in-memory library.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platter {

using MediaAttribute = std::variant<std::string, std::int64_t>;
using MediaAttributes = std::map<std::string, MediaAttribute>;

struct MLMediaObject {
    std::string identifier;
    std::optional<std::string> name;
    MediaAttributes attributes;
    std::optional<std::string> artworkImage; // encoded image
};
using MediaObjects = std::vector<std::shared_ptr<MLMediaObject>>;

struct MLMediaGroup {
    MediaAttributes attributes;
    std::vector<std::shared_ptr<MLMediaGroup>> childGroups;
    std::optional<MediaObjects> mediaObjects; // absent until loaded
};

struct MLMediaSource {
    std::shared_ptr<MLMediaGroup> rootMediaGroup; // null until loaded
};
using MediaSources = std::map<std::string, std::shared_ptr<MLMediaSource>>;

class MediaLibrary {
public:
    // Hears new values of the observed properties, on the main thread.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void mediaSourcesChanged(const MediaSources& sources) = 0;
        virtual void rootMediaGroupChanged(const MLMediaSource& source,
                                           const std::shared_ptr<MLMediaGroup>& root) = 0;
        virtual void mediaObjectsChanged(const MLMediaGroup& group, const MediaObjects& objects) = 0;
    };

    static constexpr std::string_view iTunesSourceIdentifier = "com.apple.iTunes";
    // Attribute keys.
    static constexpr std::string_view typeIdentifierKey = "typeIdentifier";
    static constexpr std::string_view musicGroupType = "com.apple.iTunes.MusicPlaylist";
    static constexpr std::string_view mediaTypeKey = "mediaType"; // 1: audio
    static constexpr std::string_view albumKey = "album";
    static constexpr std::string_view artistKey = "artist";

    virtual ~MediaLibrary() = default;
    // Observes the library's sources; reading them starts the library's loading.
    virtual void setObserver(Observer* observer) = 0;
    virtual MediaSources mediaSources() = 0;
    virtual void observeRootMediaGroup(const MLMediaSource& source, bool observe) = 0;
    virtual void observeMediaObjects(const MLMediaGroup& group, bool observe) = 0;
};

// A media library held in memory, whose changes are announced by calling its publish
// operations: the stand-in for a platform that has none, and for tests.
class InMemoryMediaLibrary final : public MediaLibrary {
public:
    void setObserver(Observer* observer) override { observer_ = observer; }
    MediaSources mediaSources() override { return sources_; }
    void observeRootMediaGroup(const MLMediaSource& source, bool observe) override {
        observed(observedSources_, &source, observe);
    }
    void observeMediaObjects(const MLMediaGroup& group, bool observe) override {
        observed(observedGroups_, &group, observe);
    }

    void publishSources(MediaSources sources) {
        sources_ = std::move(sources);
        if (observer_) observer_->mediaSourcesChanged(sources_);
    }
    void publishRootGroup(MLMediaSource& source, std::shared_ptr<MLMediaGroup> root) {
        source.rootMediaGroup = std::move(root);
        if (observer_ && isObserved(observedSources_, &source))
            observer_->rootMediaGroupChanged(source, source.rootMediaGroup);
    }
    void publishObjects(MLMediaGroup& group, MediaObjects objects) {
        group.mediaObjects = std::move(objects);
        if (observer_ && isObserved(observedGroups_, &group))
            observer_->mediaObjectsChanged(group, *group.mediaObjects);
    }
    bool isObserving(const MLMediaGroup& group) const { return isObserved(observedGroups_, &group); }
    bool isObserving(const MLMediaSource& source) const { return isObserved(observedSources_, &source); }

private:
    template <class T> static void observed(std::vector<const T*>& list, const T* item, bool observe) {
        std::erase(list, item);
        if (observe) list.push_back(item);
    }
    template <class T> static bool isObserved(const std::vector<const T*>& list, const T* item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    }

    Observer* observer_ = nullptr;
    MediaSources sources_;
    std::vector<const MLMediaSource*> observedSources_;
    std::vector<const MLMediaGroup*> observedGroups_;
};

} // namespace platter
