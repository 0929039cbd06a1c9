#include "core/text/text_search.h"

#include <algorithm>

namespace platter {

namespace {

// After folding every space of Unicode is a plain space (compatibility decomposition), so
// ASCII white space is all there is to split at.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

void addSearchField(const StringRules& rules, std::string& into, std::string_view field) {
    if (field.empty()) return;
    into += rules.searchKey(field);
    // A query's words hold no line break, so none can span two fields.
    into += '\n';
}

TextSearch::TextSearch(const StringRules& rules, std::string_view query) {
    const auto folded = rules.searchKey(query);
    std::string_view rest(folded);
    while (!rest.empty()) {
        const auto start = std::find_if_not(rest.begin(), rest.end(), isSpace);
        const auto end = std::find_if(start, rest.end(), isSpace);
        if (start != end) words_.emplace_back(start, end);
        rest = std::string_view(end, rest.end());
    }
    // The longest word first: it rules out the most texts at the first scan.
    std::stable_sort(words_.begin(), words_.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

bool TextSearch::matches(std::string_view text) const {
    return std::all_of(words_.begin(), words_.end(),
                       [&](const std::string& word) { return text.find(word) != std::string_view::npos; });
}

} // namespace platter
