#pragma once

// Searching as the user types: a query's words against a text made once per item from its
// fields, both in StringRules::searchKey form, so that a keystroke costs only substring scans.

#include "core/text/string_rules.h"

#include <string>
#include <string_view>
#include <vector>

namespace platter {

// Adds `field` to the text `into` that a TextSearch looks through. Fields stay apart: no word
// of a query matches across two of them.
void addSearchField(const StringRules& rules, std::string& into, std::string_view field);

class TextSearch {
public:
    // Matches everything.
    TextSearch() = default;
    // The words of `query`, split at white space of any script.
    TextSearch(const StringRules& rules, std::string_view query);

    // No words: everything matches.
    bool empty() const { return words_.empty(); }
    // Whether `text`, made by addSearchField, holds every word of the query, in any field and
    // any order.
    bool matches(std::string_view text) const;
    const std::vector<std::string>& words() const { return words_; }

private:
    std::vector<std::string> words_;
};

} // namespace platter
