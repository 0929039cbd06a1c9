#pragma once

// Asking the online music catalogue: the address encoding, the reading of its replies into
// result records, and the one fetch operation everything goes through.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class HttpFetch;

// One object of a reply's "results": its top-level strings, integers and booleans.
struct ResultRecord {
    std::map<std::string, std::string> stringDict;
    std::map<std::string, std::int64_t> intDict;
    std::map<std::string, bool> boolDict;
};

// Percent-encodes every byte outside the query-allowed set (letters, digits, the unreserved
// marks -._~, the sub-delimiters !$&'()*+,;=, and :@/?); the rest stays as it is.
std::string percentEncodeQuery(std::string_view text);

// The records of a reply body; nothing when the body is no JSON object. A reply without a
// "results" array has no records.
std::optional<std::vector<ResultRecord>> readResults(std::string_view body);

// The records of the query `urlString` (not yet encoded), or nothing when the query failed:
// no connection, a time-out, an HTTP error, an unreadable reply. A failure is not an empty
// answer.
std::optional<std::vector<ResultRecord>> fetchResults(HttpFetch& http, std::string_view urlString);

} // namespace platter
