#include "core/app/added_music.h"

#include "core/model/added_tracks.h"
#include "core/services/folder_watcher.h"
#include "core/services/log.h"
#include "core/services/random_source.h"
#include "core/services/seeded_random.h"
#include "core/services/task_runner.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <utility>

namespace platter {

namespace {
// Database changes handed over per turn of the main loop: a first scan brings tens of thousands.
constexpr std::size_t changesPerSlice = 1000;
} // namespace

// The scan's own state, on the disk lane only.
struct AddedMusic::Job {
    Job(const MusicFiles& m, std::vector<std::string> f, Paths library, Clock clock, std::uint64_t seed)
        : music(m), folders(std::move(f)), libraryFiles(std::move(library)), now(std::move(clock)), ids(seed) {}
    const MusicFiles& music;
    std::vector<std::string> folders;
    Paths libraryFiles;
    Clock now;
    SeededRandom ids;
    bool listed = false;
    std::vector<FoundFile> files;
    std::size_t next = 0;
    std::vector<AddedSong> records;
    std::unordered_map<std::string, std::size_t> byPath;
    std::vector<bool> seen;
    std::unordered_set<std::string> usedIDs;
    std::vector<AddedSong> upserts;
    std::vector<std::string> removals;
    std::chrono::steady_clock::time_point lastBatch;

    std::string newID() {
        for (;;) {
            char text[17];
            std::uint64_t n = 0;
            for (int i = 0; i < 4; ++i)
                n = n << 16 | ids.uniform(1u << 16);
            std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(n));
            if (usedIDs.insert(text).second) return text;
        }
    }
    void look(const FoundFile& file) {
        if (libraryFiles && libraryFiles->contains(file.path)) return;
        const auto at = byPath.find(file.path);
        if (at != byPath.end()) {
            const auto& record = records[at->second];
            if (!isGone(record) && record.size == file.size && record.modifiedNs == file.modifiedNs) {
                seen[at->second] = true;
                return;
            }
        }
        const auto tags = music.tags(file.path);
        if (!tags) {
            log::write(log::Category::Library, file.path + ": no audio file whose tags can be read; passed over");
            return;
        }
        auto json = tagsToJson(*tags);
        if (at == byPath.end()) {
            byPath.emplace(file.path, records.size());
            records.push_back({newID(), file.path, file.size, file.modifiedNs, std::move(json)});
            seen.push_back(true);
            upserts.push_back(records.back());
            return;
        }
        auto& record = records[at->second];
        record.size = file.size;
        record.modifiedNs = file.modifiedNs;
        record.tags = std::move(json);
        seen[at->second] = true;
        upserts.push_back(record);
    }
    // The records of files not seen: gone, or now a song of the library file's.
    void finish() {
        std::vector<AddedSong> kept;
        kept.reserve(records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            auto& record = records[i];
            if (libraryFiles && libraryFiles->contains(record.path)) {
                removals.push_back(record.persistentID);
                continue;
            }
            if (!seen[i] && !isGone(record)) {
                record.size = -1;
                upserts.push_back(record);
            }
            kept.push_back(std::move(record));
        }
        records = std::move(kept);
    }
};

namespace {
struct Garbage {
    std::shared_ptr<const std::vector<AddedSong>> records;
    std::vector<AddedSong> upserts;
    std::shared_ptr<std::function<void()>> step;
};
} // namespace

struct AddedMusic::Batch {
    std::vector<AddedSong> upserts;
    std::vector<std::string> removals;
    std::shared_ptr<const std::vector<AddedSong>> records;
    std::shared_ptr<const plist::Document> document;
    bool last = false;
};

AddedMusic::AddedMusic(Services services, std::function<void()> changed, std::function<void()> progressed)
    : services_(std::move(services)), changed_(std::move(changed)), progressed_(std::move(progressed)),
      records_(std::make_shared<const std::vector<AddedSong>>()) {
    if (!services_.now) services_.now = [] { return std::chrono::steady_clock::now(); };
}

void AddedMusic::load() {
    if (!services_.database) return;
    records_ = std::make_shared<const std::vector<AddedSong>>(services_.database->readAddedSongs());
    document_ = addedTracksDocument(*records_);
}

void AddedMusic::scan(std::vector<std::string> folders, Paths libraryFiles) {
    if (!services_.database || !services_.music) return;
    // A folder named twice, or inside another, is listed once.
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    std::erase_if(folders, [&](const std::string& f) {
        return std::any_of(folders.begin(), folders.end(), [&](const std::string& outer) {
            return outer != f && f.starts_with(outer) && (outer.ends_with('/') || f[outer.size()] == '/');
        });
    });
    folders_ = std::move(folders);
    libraryFiles_ = std::move(libraryFiles);
    if (services_.watcher && watched_ != folders_) {
        watched_ = folders_;
        services_.watcher->watchFolders(watched_, [this, alive = std::weak_ptr<int>(lifetime_)] {
            if (!alive.expired()) foldersChanged();
        });
    }
    if (running_) {
        again_ = true;
        return;
    }
    run();
}

void AddedMusic::rescan() {
    if (!folders_.empty() || libraryFiles_) scan(folders_, libraryFiles_);
}

void AddedMusic::foldersChanged() {
    services_.tasks.runOnMainThreadAfter(quietPeriod, [this, change = ++change_, alive = std::weak_ptr<int>(lifetime_)] {
        if (!alive.expired() && change == change_) rescan();
    });
}

void AddedMusic::run() {
    running_ = true;
    progress_ = Progress{};
    progressed_();
    std::uint64_t seed = 0;
    for (int i = 0; i < 4; ++i)
        seed = seed << 16 | services_.random.uniform(1u << 16);
    auto job = std::make_shared<Job>(*services_.music, folders_, libraryFiles_, services_.now, seed);
    auto before = records_;
    auto& tasks = services_.tasks;
    // Each step hands the lane on, so a state write or an artwork read waits for one step at most.
    auto step = std::make_shared<std::function<void()>>();
    *step = [job, before, &tasks, this, alive = std::weak_ptr<int>(lifetime_), weakStep = std::weak_ptr(step)] {
        const auto again = [&] {
            if (auto s = weakStep.lock()) tasks.runInBackground(*s);
        };
        const auto tellProgress = [&](Progress p) {
            tasks.runOnMainThread([this, alive, p] {
                if (alive.expired() || !running_) return;
                progress_ = p;
                progressed_();
            });
        };
        const auto hand = [&](bool last) {
            auto batch = std::make_shared<Batch>();
            batch->upserts = std::exchange(job->upserts, {});
            batch->removals = std::exchange(job->removals, {});
            const bool changed = !batch->upserts.empty() || !batch->removals.empty();
            // The job needs its records no more after the last; a scan that found nothing new
            // needs no document.
            batch->records = std::make_shared<const std::vector<AddedSong>>(last ? std::move(job->records)
                                                                                 : job->records);
            if (changed) batch->document = addedTracksDocument(*batch->records);
            batch->last = last;
            job->lastBatch = job->now();
            tasks.runOnMainThread([this, alive, batch] {
                if (!alive.expired()) take(batch, 0);
            });
        };
        if (!job->listed) {
            std::unordered_set<std::string> listed;
            for (const auto& folder : job->folders)
                for (auto& file : job->music.audioFilesBelow(folder))
                    if (listed.insert(file.path).second) job->files.push_back(std::move(file));
            job->records = *before;
            job->seen.assign(job->records.size(), false);
            for (std::size_t i = 0; i < job->records.size(); ++i) {
                job->byPath.emplace(job->records[i].path, i);
                job->usedIDs.insert(job->records[i].persistentID);
            }
            job->listed = true;
            job->lastBatch = job->now();
            tellProgress({0, job->files.size()});
            return again();
        }
        const auto end = std::min(job->next + filesPerStep, job->files.size());
        for (; job->next < end; ++job->next)
            job->look(job->files[job->next]);
        if (job->next == job->files.size()) {
            job->finish();
            return hand(true);
        }
        tellProgress({job->next, job->files.size()});
        if (!job->upserts.empty() && job->now() - job->lastBatch >= batchInterval) hand(false);
        again();
    };
    // The step holds itself while it runs; the chain ends with the last step.
    tasks.runInBackground([step] { (*step)(); });
    pendingStep_ = step;
}

void AddedMusic::take(const std::shared_ptr<Batch>& batch, std::size_t from) {
    auto* db = services_.database;
    const auto total = batch->upserts.size() + batch->removals.size();
    const auto to = std::min(from + changesPerSlice, total);
    for (auto i = from; i < to; ++i) {
        if (i < batch->upserts.size())
            db->upsertAddedSong(batch->upserts[i]);
        else
            db->removeAddedSong(batch->removals[i - batch->upserts.size()]);
    }
    if (to < total) {
        services_.tasks.runOnMainThread([this, alive = std::weak_ptr<int>(lifetime_), batch, to] {
            if (!alive.expired()) take(batch, to);
        });
        return;
    }
    const bool changed = total > 0;
    // What the scan held goes on the disk lane: freeing tens of thousands of records, or the
    // finished job's lists, takes longer than a frame.
    auto done = std::make_shared<Garbage>(Garbage{std::exchange(records_, batch->records),
                                                  std::exchange(batch->upserts, {}), {}});
    if (changed) {
        document_ = batch->document;
        changed_();
    }
    if (batch->last) done->step = std::move(pendingStep_);
    services_.tasks.runInBackground([done]() mutable { *done = {}; });
    if (!batch->last) return;
    running_ = false;
    progress_.reset();
    progressed_();
    if (std::exchange(again_, false)) run();
}

} // namespace platter
