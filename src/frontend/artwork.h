// The front end's own pictures: the panels' backgrounds, the welcome picture,
// the program icon and the secondary windows' pictures. They lie in the
// program folder's "images/ui/" and are read when a window is made, so a
// missing file only leaves its picture empty.
#pragma once

#include <QFont>
#include <QIcon>
#include <string>

namespace pomlets {

// The full path of a picture of "images/ui/", as the bytes the system knows
// it by (a folder's name need not be UTF-8 text).
std::string uiPicture(const char* name);
// The path of a picture's sharp twin, painted at twice its size for screens
// of twice the pixel density: "@2x" before the extension ("Image7@2x.bmp").
std::string sharpTwin(const std::string& path);
// The program icon, with every size that the folder holds (48, 32 and 16 pixels).
QIcon programIcon();

// The font the windows' layout was made for: a small sans-serif face, Liberation
// Sans, sized in pixels (11, as 8.25 points at 96 dots an inch) so that its
// metrics do not follow the desktop's resolution. The credits use 13 pixels.
QFont windowFont(int pixelSize = 11);

} // namespace pomlets
