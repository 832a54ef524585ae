// forge: writes every picture of the game into the program folder.
// Usage: forge <program folder> <contact sheet .png> <font folder> [<manual pictures folder>]
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "pictures.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: forge <program folder> <contact sheet .png> <font folder> [<manual pictures folder>]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();
    try {
        using namespace pomlets::forge;
        loadFonts(QString::fromLocal8Bit(argv[3]));
        Forge forge(QString::fromLocal8Bit(argv[1]));
        forgePieces(forge);
        forgeEffects(forge);
        forgeScreens(forge);
        forgeThemes(forge);
        forgeWindows(forge);
        if (argc == 5) forgeManual(forge, QString::fromLocal8Bit(argv[4]));
        writeContactSheet(forge, QString::fromLocal8Bit(argv[2]));
        std::printf("forge: %zu pictures in %.2f s\n", forge.pictures().size(), clock.elapsed() / 1000.0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "forge: %s\n", e.what());
        return 1;
    }
    return 0;
}
