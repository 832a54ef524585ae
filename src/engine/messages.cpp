#include "engine/messages.h"

#include <vector>

#include "common/brains.h"
#include "display/game_window.h"
#include "display/sprites.h"
#include "engine/chance.h"
#include "engine/main_loops.h"
#include "engine/sound_effects.h"
#include "platform/runtime.h"

namespace pomlets {

SurfaceRef getGlyph(const std::string& character) {
    if (character.size() != 1) return nullptr;
    char ch = character[0];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    int index = -1;
    if (ch >= 'A' && ch <= 'Z')
        index = ch - 'A';
    else if (ch == '!')
        index = 26;
    else if (ch == ' ')
        index = 27;
    else if (ch >= '0' && ch <= '9')
        index = 28 + (ch - '0');
    if (index < 0) return nullptr;
    return glyphSurfaces[static_cast<size_t>(index)];
}

void showMessage(const std::string& text) {
    lastMessageGlyph = -1;
    messageGlyphs.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const int16_t x = toInt16(1000.0 + 50.0 * static_cast<double>(i));
        MessageGlyph& g = appendTo(messageGlyphs, lastMessageGlyph);
        g.glyph = getGlyph(std::string(1, text[i]));
        g.x = x;
    }
}

void drawMessage() {
    std::vector<MessageGlyph> kept;
    kept.reserve(messageGlyphs.size());
    for (int i = 0; i <= lastMessageGlyph; ++i) {
        MessageGlyph& g = messageGlyphs.at(static_cast<size_t>(i));
        g.x = add16(g.x, -14);
        if (g.x > 0) {
            kept.push_back(g);
            blitSprite(RECT{g.x, 365, g.x + 50, 415}, g.glyph, RECT{0, 0, 50, 50});
        }
    }
    messageGlyphs = std::move(kept);
    lastMessageGlyph = static_cast<int16_t>(static_cast<int>(messageGlyphs.size()) - 1);
}

void updateFrogs() {
    const RECT src{0, 0, 100, 100};
    if (lastFrog < 19) {
        Frog& f = appendTo(frogs, lastFrog);
        f.x = static_cast<int16_t>(randomInt(2000));
        f.frame = static_cast<int16_t>(randomInt(5) + 1);
        f.frameHold = static_cast<int16_t>(randomInt(2) + 4);
        f.speed = static_cast<int16_t>(randomInt(2) + 7);
        f.y = 0;
        f.tick = 0;
    }
    for (int i = 0; i <= lastFrog; ++i) {
        Frog& f = frogs.at(static_cast<size_t>(i));
        f.tick = add16(f.tick, 1);
        if (f.tick > f.frameHold) {
            f.tick = 0;
            f.frame = add16(f.frame, 1);
            if (f.frame > 5) f.frame = 1;
        }
        const RECT dest{f.x, f.y, f.x + 100, f.y + 100};
        const SurfaceRef& picture = frogFrames.at(static_cast<size_t>(f.frame));
        f.x = add16(f.x, -f.speed);
        f.y = add16(f.y, f.speed);
        if (f.y <= 768 && f.x >= 0) {
            blitSprite(dest, picture, src);
        } else if (frogUntil > gameTime()) {
            f.x = static_cast<int16_t>(randomInt(2000));
            f.y = 0;
        }
    }
    if (frogUntil > gameTime()) {
        const int r = randomInt(200);
        if (r <= 2) playSound(sndFrog[static_cast<size_t>(r)]);
    }
}

void playApplause() {
    static constexpr int combinations[7][3] = {
        {0, -1, -1}, {1, -1, -1}, {2, -1, -1}, {0, 1, -1}, {0, 2, -1}, {1, 2, -1}, {1, 2, 0}};
    const int r = randomInt(7);
    for (int sound : combinations[r])
        if (sound >= 0) playSound(sndClapping[static_cast<size_t>(sound)]);
}

} // namespace pomlets
