#include "frontend/artwork.h"

#include <QFileInfo>
#include <string>

#include "platform/runtime.h"

namespace pomlets {

QString uiPicture(const char* name) {
    return QString::fromStdString(appPath(std::string("\\images\\ui\\") + name));
}

QIcon programIcon() {
    QIcon icon;
    for (const char* name : {"icon_48.bmp", "icon_32.bmp", "icon_16.bmp"}) {
        const QString path = uiPicture(name);
        if (QFileInfo::exists(path)) icon.addFile(path);
    }
    return icon;
}

} // namespace pomlets
