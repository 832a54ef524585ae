#include "engine/effects.h"

#include <vector>

#include "common/brains.h"
#include "display/game_window.h"
#include "display/sprites.h"
#include "engine/sound_effects.h"
#include "platform/runtime.h"

namespace pomlets {

int16_t effectX(int16_t column) { return toInt16(85.0 * column - 70); }
int16_t effectY(int16_t pieceY) { return add16(pieceY, -70); }
int16_t zapX(int16_t column) { return toInt16(85.0 * column + 100); }
int16_t zapY(int16_t pieceY) { return add16(pieceY, 80); }

void addExplosion(int16_t x, int16_t y, bool silent) {
    Explosion& e = appendTo(explosions, lastExplosion);
    e.x = x;
    e.y = y;
    e.size = 10;
    if (!silent) playSound(sndPop);
}

void updateExplosions() {
    const int bound = lastExplosion;
    for (int i = 0; i <= bound; ++i) {
        drawExplosion(static_cast<int16_t>(i));
        Explosion& e = explosions.at(static_cast<size_t>(i));
        e.size = add16(e.size, 50);
    }
    std::vector<Explosion> kept;
    kept.reserve(explosions.size());
    for (int i = 0; i <= lastExplosion; ++i)
        if (explosions[static_cast<size_t>(i)].size < 300) kept.push_back(explosions[static_cast<size_t>(i)]);
    explosions = std::move(kept);
    lastExplosion = static_cast<int16_t>(static_cast<int>(explosions.size()) - 1);
}

void addPointPopup(int16_t x, int16_t y, int32_t points) {
    const int16_t shown = toInt16(points);  // the popup holds 16 bits
    PointPopup& p = appendTo(pointPopups, lastPointPopup);
    p.x = x;
    p.y = y;
    p.points = shown;
}

void updatePointPopups() {
    const int bound = lastPointPopup;
    for (int i = 0; i <= bound; ++i) {
        PointPopup& p = pointPopups.at(static_cast<size_t>(i));
        if (displayUp())
            backBuffer->DrawText(p.x + 190, p.y + 190, signedText(p.points), false);
        p.y = add16(p.y, -10);
    }
    std::vector<PointPopup> kept;
    kept.reserve(pointPopups.size());
    for (int i = 0; i <= lastPointPopup; ++i) {
        const PointPopup& p = pointPopups[static_cast<size_t>(i)];
        if (p.y > -180)
            kept.push_back(p);
        else
            score = add32(score, p.points);
    }
    pointPopups = std::move(kept);
    lastPointPopup = static_cast<int16_t>(static_cast<int>(pointPopups.size()) - 1);
}

void addZap(int16_t x, int16_t y, bool horizontal) {
    Zap& z = appendTo(zaps, lastZap);
    z.horizontal = horizontal;
    z.thickness = 5;
    z.x = x;
    z.y = y;
    playSound(sndSlam);
}

void updateZaps() {
    const int bound = lastZap;
    for (int i = 0; i <= bound; ++i) {
        drawZap(static_cast<int16_t>(i));
        Zap& z = zaps.at(static_cast<size_t>(i));
        z.thickness = add16(z.thickness, 25);
    }
    std::vector<Zap> kept;
    kept.reserve(zaps.size());
    for (int i = 0; i <= lastZap; ++i)
        if (zaps[static_cast<size_t>(i)].thickness < 80) kept.push_back(zaps[static_cast<size_t>(i)]);
    zaps = std::move(kept);
    lastZap = static_cast<int16_t>(static_cast<int>(zaps.size()) - 1);
}

} // namespace pomlets
