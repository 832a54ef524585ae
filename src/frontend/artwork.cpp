#include "frontend/artwork.h"

#include <QFileInfo>
#include <string>

#include "platform/runtime.h"

namespace pomlets {

QString uiPicture(const char* name) {
    return QString::fromStdString(appPath(std::string("\\images\\ui\\") + name));
}

QString sharpTwin(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash) return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QIcon programIcon() {
    QIcon icon;
    for (const char* name : {"icon48.png", "icon32.png", "icon16.png"}) {
        const QString path = uiPicture(name);
        if (QFileInfo::exists(path)) icon.addFile(path);
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
