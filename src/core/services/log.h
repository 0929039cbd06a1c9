#pragma once

// A log for bug reports: errors and decisions, by category, on standard error. Off unless
// asked for, with PLATTER_LOG=player,store,state,library (or "all") or `--verbose`.

#include <string_view>

namespace platter::log {

enum class Category { Player, Store, State, Library };

// Turns on the categories named, separated by commas; "all" turns on every one. Unknown
// names are passed over.
void enable(std::string_view categories);
bool enabled(Category category);
// One line, if its category is on. Safe from any thread.
void write(Category category, std::string_view message);

} // namespace platter::log
