#include "core/store/catalogue_query.h"

#include "core/services/http_fetch.h"
#include "core/text/percent_encoding.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace platter {

std::string encodeQueryValue(std::string_view value) {
    auto out = percentEncode(value, [](unsigned char c) {
        return isAlphanumeric(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == ' ';
    });
    // Spaces as "+", as the catalogue's own examples write its terms; a "+" of the value is
    // escaped by now, so none is mistaken for one.
    std::replace(out.begin(), out.end(), ' ', '+');
    return out;
}

std::string catalogueAddress(std::string_view base, std::string_view path,
                             std::initializer_list<QueryParameter> parameters) {
    std::string address = std::string(base) + std::string(path);
    char separator = '?';
    for (const auto& [name, value] : parameters) {
        address += separator;
        address += name;
        address += '=';
        address += encodeQueryValue(value);
        separator = '&';
    }
    return address;
}

std::optional<std::vector<ResultRecord>> readResults(std::string_view body) {
    const auto reply = nlohmann::json::parse(body, nullptr, false);
    if (reply.is_discarded() || !reply.is_object()) return std::nullopt;
    std::vector<ResultRecord> records;
    const auto results = reply.find("results");
    if (results == reply.end() || !results->is_array()) return records;
    for (const auto& object : *results) {
        ResultRecord record;
        if (object.is_object()) {
            for (const auto& [key, value] : object.items()) {
                if (value.is_string())
                    record.stringDict[key] = value.get<std::string>();
                else if (value.is_boolean())
                    record.boolDict[key] = value.get<bool>();
                else if (value.is_number_integer() && !value.is_number_unsigned())
                    record.intDict[key] = value.get<std::int64_t>();
                else if (value.is_number_unsigned() && value.get<std::uint64_t>() <= INT64_MAX)
                    record.intDict[key] = static_cast<std::int64_t>(value.get<std::uint64_t>());
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<std::vector<ResultRecord>> fetchResults(HttpFetch& http, const std::string& address,
                                                      const CancelToken& cancel) {
    const auto response = http.get(address, cancel);
    if (!response.ok) return std::nullopt;
    return readResults(response.body);
}

} // namespace platter
