#include "display/sprites.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QPointer>
#include <vector>

#include "common/brains.h"
#include "display/game_window.h"
#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

// 16-bit coordinate arithmetic, as the drawing code computes its rectangles.
int32_t c16(int32_t value) { return toInt16(value); }

// The text of the mode box's choice, read from Qt again only when the choice
// or the box's entries changed: the item counters ask at every frame, the
// player changes it between games.
class ChosenText {
public:
    const QString& of(QComboBox* box) {
        if (box != box_ || !box_ || box->model() != model_) follow(box);
        if (stale_ || box->currentIndex() != index_) {
            index_ = box->currentIndex();
            text_ = box->currentText();
            stale_ = false;
        }
        return text_;
    }

private:
    void follow(QComboBox* box) {
        for (const QMetaObject::Connection& c : connections_) QObject::disconnect(c);
        connections_.clear();
        box_ = box;
        model_ = box->model();
        stale_ = true;
        if (!model_) return;
        const auto changed = [this] { stale_ = true; };
        connections_ = {
            QObject::connect(model_, &QAbstractItemModel::dataChanged, changed),
            QObject::connect(model_, &QAbstractItemModel::rowsInserted, changed),
            QObject::connect(model_, &QAbstractItemModel::rowsRemoved, changed),
            QObject::connect(model_, &QAbstractItemModel::rowsMoved, changed),
            QObject::connect(model_, &QAbstractItemModel::modelReset, changed),
            QObject::connect(model_, &QAbstractItemModel::layoutChanged, changed),
        };
    }

    QPointer<QComboBox> box_;
    QPointer<QAbstractItemModel> model_;
    std::vector<QMetaObject::Connection> connections_;
    int index_ = -1;
    bool stale_ = true;
    QString text_;
};

bool freestyleChosen() {
    static ChosenText mode;
    POMLETS_LOCAL_NOT_RESTORED(mode, "a cache of the box's text, which follows the box it reads");
    QComboBox* box = fMain().tMode;
    return box && mode.of(box) == QStringLiteral("Freestyle");
}

} // namespace

bool displayUp() { return ddraw != nullptr && backBuffer != nullptr; }

void blitSprite(const RECT& dest, const SurfaceRef& picture, const RECT& src) {
    if (!picture || !displayUp()) return;
    backBuffer->Blt(dest, picture, src, DDBLT_KEYSRC | DDBLT_WAIT);
}

void drawPieceIcon(int16_t imageIndex, int16_t column, int16_t y) {
    if (imageIndex < 0 || imageIndex >= static_cast<int>(pieceDefs.size())) throw RuntimeError(err::Subscript);
    const RECT dest{c16(80 + 85 * column), c16(80 + y), c16(170 + 85 * column), c16(170 + y)};
    blitSprite(dest, pieceDefs[static_cast<size_t>(imageIndex)].surface, RECT{0, 0, 90, 90});
}

void drawRowPointer() {
    const RECT dest{10, c16(620 - 85 * currentRow), 80, c16(665 - 85 * currentRow)};
    blitSprite(dest, pointerImage, RECT{0, 0, 70, 45});
}

void drawExplosion(int16_t index) {
    if (index < 0 || index > lastExplosion || static_cast<size_t>(index) >= explosions.size())
        throw RuntimeError(err::Subscript);
    const Explosion& e = explosions[static_cast<size_t>(index)];
    const int h = e.size / 2;  // sizes are never negative: halving rounds down
    const RECT dest{c16(e.x + 190 - h), c16(e.y + 190 - h), c16(e.x + 190 + h), c16(e.y + 190 + h)};
    blitSprite(dest, explosionImage, RECT{0, 0, 300, 300});
}

void drawZap(int16_t index) {
    if (index < 0 || index > lastZap || static_cast<size_t>(index) >= zaps.size()) throw RuntimeError(err::Subscript);
    const Zap& z = zaps[static_cast<size_t>(index)];
    const int h = z.thickness / 2;
    if (z.horizontal) {
        const RECT dest{c16(z.x - 15), c16(z.y + 40 - h), c16(z.x + 70), c16(z.y + 40 + h)};
        blitSprite(dest, zapHImage, RECT{0, 0, 80, 80});
    } else {
        const RECT dest{c16(z.x + 40 - h), z.y, c16(z.x + 40 + h), c16(z.y + 95)};
        blitSprite(dest, zapVImage, RECT{0, 0, 80, 80});
    }
}

void drawInventoryBar() {
    if (!displayUp()) return;
    if (freestyleChosen()) {
        backBuffer->DrawText(300, 33, " x " + plainText(items[0]), false);
        backBuffer->DrawText(400, 33, " x " + plainText(items[1]), false);
        backBuffer->DrawText(500, 33, " x " + plainText(items[2]), false);
        backBuffer->DrawText(600, 33, " x " + plainText(items[3]), false);
    }
    backBuffer->DrawText(795, 33, " x " + plainText(credits), false);
    backBuffer->DrawText(895, 33, " x " + plainText(musicNotes), false);
}

} // namespace pomlets
