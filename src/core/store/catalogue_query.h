#pragma once

// Asking the online music catalogue: the address encoding, the reading of its replies into
// result records, and the one fetch operation everything goes through.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class CancelToken;
class HttpFetch;

// One object of a reply's "results": its top-level strings, integers and booleans.
struct ResultRecord {
    std::map<std::string, std::string> stringDict;
    std::map<std::string, std::int64_t> intDict;
    std::map<std::string, bool> boolDict;
};

// One parameter value of an address, encoded on its own: letters, digits and -._~ stay, a
// space becomes "+", and every other byte (the query's own "&", "=", "+" and "#" among them) is
// percent-encoded, so no value can end its parameter or the query.
std::string encodeQueryValue(std::string_view value);

struct QueryParameter {
    std::string_view name; // a fixed name that needs no encoding
    std::string_view value;
};
// `base` + `path` + "?" + the parameters in order, each value encoded on its own.
std::string catalogueAddress(std::string_view base, std::string_view path,
                             std::initializer_list<QueryParameter> parameters);

// The records of a reply body; nothing when the body is no JSON object. A reply without a
// "results" array has no records.
std::optional<std::vector<ResultRecord>> readResults(std::string_view body);

// The records of the query at `address` (as catalogueAddress builds it), or nothing when it failed:
// no connection, a time-out, an HTTP error, an unreadable reply, a cancel. A failure is not an
// empty answer.
std::optional<std::vector<ResultRecord>> fetchResults(HttpFetch& http, const std::string& address,
                                                      const CancelToken& cancel);

} // namespace platter
