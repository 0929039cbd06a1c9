#pragma once

// The two small pages shown for a picked artist: one linking to the artist in the catalogue,
// one showing an album the user lacks, with its artwork, previews and store links.

#include "core/store/my_itunes_album.h"

#include <string>
#include <string_view>

namespace platter {

inline constexpr std::string_view partnerKeys = "partnerId=11&at=10qpZK";

std::string escapeHtml(std::string_view text);
// The store address with the partner keys: after "&" when it has a query, else after "?";
// a fragment stays last.
std::string withPartnerKeys(std::string_view url);

std::string artistHtml(std::string_view artistName, std::string_view artistUrl);
std::string albumHtml(const MyiTunesAlbum& album, const ITunesSongs& songs);

} // namespace platter
