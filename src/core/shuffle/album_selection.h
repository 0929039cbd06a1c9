#pragma once

// What a user's choice for an album means, and how the configuration outline's two check-box
// columns change it.

#include "core/model/my_album.h"

#include <cstdint>

namespace platter {

// The outline's columns, "separateDiscs" and "separateSongs".
enum class SplitColumn { SeparateDiscs, SeparateSongs };

// The album row offers "separateDiscs" only for an album of two or more discs.
bool offersSeparateDiscs(const MyAlbum& album);
// Whether the album row's box of a column is checked.
bool isChecked(const MyAlbum& album, SplitColumn column);
// Disc rows offer "separateSongs" only while their album is split into discs.
bool offersDiscRows(const MyAlbum& album);
bool isDiscChecked(const MyAlbum& album, std::int64_t discNumber);

// A click on an album row's box.
void toggleAlbum(MyAlbum& album, SplitColumn column);
// A click on a disc row's box; nothing unless the album is split into discs.
void toggleDisc(MyAlbum& album, std::int64_t discNumber);

} // namespace platter
