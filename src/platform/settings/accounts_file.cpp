#include "platform/settings/accounts_file.h"

#include "platform/files/atomic_file.h"
#include "platform/system/system_environment.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace platter {

AccountsFile::AccountsFile(std::string path) : path_(std::move(path)) {}

std::string AccountsFile::defaultPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        base = xdg;
    else
        base = SystemEnvironment().homeDirectory() + "/.config";
    return base + "/platter/accounts.json";
}

AccountsFile::Loaded AccountsFile::load() const {
    removeStaleTemporaries(path_);
    Loaded loaded;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return loaded;
    std::ostringstream text;
    text << in.rdbuf();
    if (auto accounts = readAccounts(text.str()))
        loaded.accounts = std::move(*accounts);
    else
        loaded.movedAsidePath = moveAside(path_, "unreadable");
    return loaded;
}

std::string AccountsFile::save(const ScrobbleAccounts& accounts) const {
    // The writer keeps an existing file's mode: one made readable by others is closed first,
    // so that no moment shows the secrets to them.
    ::chmod(path_.c_str(), S_IRUSR | S_IWUSR);
    return writeFileAtomically(path_, accountsText(accounts));
}

} // namespace platter
