#include "core/store/link_pages.h"

#include <algorithm>

namespace platter {

namespace {

// An opening link tag to a store page, opening in the browser.
std::string storeLink(std::string_view url) {
    return "<a href=\"" + escapeHtml(withPartnerKeys(url)) + "\" target=\"_blank\">";
}

} // namespace

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string withPartnerKeys(std::string_view url) {
    // Keys after a fragment would be the fragment's, never sent to the store.
    const auto fragment = std::min(url.find('#'), url.size());
    const auto address = url.substr(0, fragment);
    return std::string(address) + (address.find('?') == std::string_view::npos ? "?" : "&") +
           std::string(partnerKeys) + std::string(url.substr(fragment));
}

std::string artistHtml(std::string_view artistName, std::string_view artistUrl) {
    return "<html><body>\n" + storeLink(artistUrl) + "<p><strong>" + escapeHtml(artistName) +
           "</strong></p>\n<p>Go to iTunes</p></a></body></html>";
}

std::string albumHtml(const MyiTunesAlbum& album, const ITunesSongs& songs) {
    std::string page = "<html><body bgcolor=\"#f5f5f5\">\n<p>" + storeLink(album.collectionViewUrl()) +
                       "<img style=\"float: left\" src=\"" + escapeHtml(album.artworkUrl100()) + "\">" +
                       escapeHtml(album.collectionName()) + "<br clear=\"left\"></a>" +
                       "</p>\n<p><table>\n<tr><th> </th><th> </th><th>Track</th></tr>\n";
    for (const auto& song : songs) {
        page += "<tr><td align=\"right\">" + std::to_string(song->trackNumber()) + ".</td><td><audio src=\"" +
                escapeHtml(song->previewUrl()) +
                "\" controls preload=\"none\" style=\"width:110px\"></audio></td><td><small>" +
                storeLink(album.collectionViewUrl()) + escapeHtml(song->trackName()) +
                "</a></small></td></tr>\n";
    }
    return page + "</table></p>\n</body></html>";
}

} // namespace platter
