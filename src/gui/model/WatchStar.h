#pragma once

#include <QIcon>

namespace vantrix {

// The star drawn left of a watched row's address.
QIcon WatchStarIcon();

}  // namespace vantrix
