#include "frontend/artwork.h"

#include <QPixmap>
#include <string>

#include "platform/program_files.h"
#include "platform/runtime.h"

namespace pomlets {

std::string uiPicture(const char* name) { return appPath(std::string("\\images\\ui\\") + name); }

std::string sharpTwin(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot <= slash)) return path + "@2x";
    return path.substr(0, dot) + "@2x" + path.substr(dot);
}

QIcon programIcon() {
    QIcon icon;
    for (const char* name : {"icon48.png", "icon32.png", "icon16.png"}) {
        QPixmap pixmap;
        try {
            const std::string file = readProgramFile(uiPicture(name), FileKind::Picture);
            if (pixmap.loadFromData(reinterpret_cast<const uchar*>(file.data()), static_cast<uint>(file.size()), "PNG"))
                icon.addPixmap(pixmap);
        } catch (const RuntimeError&) {
            // A missing or unreadable icon leaves the window without it.
        }
    }
    return icon;
}

QFont windowFont(int pixelSize) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace pomlets
