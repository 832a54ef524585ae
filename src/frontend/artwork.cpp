#include "frontend/artwork.h"

#include <QPixmap>
#include <string>

#include "platform/program_files.h"
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
        QPixmap pixmap;
        try {
            const std::string file = readProgramFile(uiPicture(name).toStdString(), FileKind::Picture);
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
