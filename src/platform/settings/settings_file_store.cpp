#include "platform/settings/settings_file_store.h"

#include "core/plist/xml_writer.h"
#include "core/services/log.h"
#include "core/services/property_list_reader.h"
#include "platform/files/atomic_file.h"
#include "platform/system/system_environment.h"

#include <cstdlib>
#include <sys/stat.h>

namespace platter {

SettingsFileStore::SettingsFileStore(std::string path, const PropertyListReader& reader)
    : path_(std::move(path)), reader_(reader) {}

std::string SettingsFileStore::defaultPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        base = xdg;
    else
        base = SystemEnvironment().homeDirectory() + "/.config";
    return base + "/platter/settings.plist";
}

SettingsFile::LoadResult SettingsFileStore::load() {
    removeStaleTemporaries(path_);
    LoadResult result;
    struct ::stat st;
    if (::stat(path_.c_str(), &st) != 0) {
        result.status = Status::Missing;
        return result;
    }
    const auto read = reader_.readFile(path_);
    if (read.document && read.document->root().is(plist::Type::Dict)) {
        result.status = Status::Loaded;
        auto values = plist::Value::copyOf(read.document->root());
        if (auto* dict = values.get<plist::Dict>()) result.values = std::move(*dict);
        return result;
    }
    result.status = Status::Corrupt;
    result.setAsidePath = moveAside(path_, "corrupt");
    if (result.setAsidePath.empty()) writable_ = false;
    lastError_ = read.error.empty() ? "the settings file holds no dictionary" : read.error;
    log::write(log::Category::State, path_ + " unreadable (" + lastError_ + "), set aside as " +
                                         (result.setAsidePath.empty() ? "nothing" : result.setAsidePath));
    return result;
}

std::string SettingsFileStore::keepCopy() {
    return copyAside(path_, "partly-read");
}

bool SettingsFileStore::save(const plist::Dict& values) {
    if (!writable_) return false;
    lastError_ = writeFileAtomically(path_, plist::writeXml(values));
    return lastError_.empty();
}

} // namespace platter
