#pragma once

// How a song row looks when its file is not on this computer: greyed, with a tooltip saying
// where it was looked for or that the song has none. Shared by the outline and the song table.

#include <QVariant>

namespace platter {

class MySong;

// The greyed text brush for a song without a file here; nothing for one that has its file.
QVariant songFileForeground(const MySong& song);
// Why the song has no file here; nothing for one that has its file.
QVariant songFileToolTip(const MySong& song);

} // namespace platter
