// The front end's own pictures: the panels' backgrounds, the welcome picture,
// the program icon and the secondary windows' pictures. They lie in the
// program folder's "images/ui/" and are read when a window is made, so a
// missing file only leaves its picture empty.
#pragma once

#include <QIcon>
#include <QString>

namespace pomlets {

// The full path of a picture of "images/ui/".
QString uiPicture(const char* name);
// The program icon, with every size that the folder holds (48, 32 and 16 pixels).
QIcon programIcon();

} // namespace pomlets
