#include "engine/slam.h"

#include <algorithm>

#include "engine/effects.h"
#include "engine/field.h"
#include "engine/messages.h"
#include "engine/removal.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

struct KillEntry {
    int16_t row = 0;
    int16_t column = 0;
    bool horizontal = false;
};

// Tests one pair along a row (horizontal) or a column and, when the cells
// between its two Slammers hold one run of identical slammable pieces (or
// nothing, for neighbours), appends the run and both Slammers to the kill list.
void testPair(const SlamPair& pair, bool horizontal, std::vector<KillEntry>& kills) {
    auto cellOf = [&](int along) -> FieldCell& {
        return horizontal ? fieldCell(pair.line, along) : fieldCell(along, pair.line);
    };
    const FieldCell& reference = cellOf(pair.low + 1);
    if (!reference.occupied) return;
    const std::string typeName = reference.piece.typeName;
    const int16_t variant = reference.piece.variant;
    bool qualifies = true;
    for (int k = pair.low + 1; k <= pair.high - 1; ++k) {
        const FieldCell& cell = cellOf(k);
        if (!cell.occupied || cell.piece.typeName != typeName || cell.piece.variant != variant ||
            !cell.piece.slammable)
            qualifies = false;
    }
    if (!qualifies) return;
    auto add = [&](int along) {
        if (horizontal)
            kills.push_back({pair.line, static_cast<int16_t>(along), true});
        else
            kills.push_back({static_cast<int16_t>(along), pair.line, false});
    };
    for (int k = pair.low + 1; k <= pair.high - 1; ++k) add(k);
    add(pair.low);
    add(pair.high);
}

} // namespace

void slamCheck(const std::vector<PieceDef>& slammers, int16_t lastSlammer) {
    std::vector<SlamPair> rowPairs;
    std::vector<SlamPair> columnPairs;
    // Every two Slammers are visited in both orders, so each pair is noted twice.
    for (int i = 0; i <= lastSlammer; ++i) {
        for (int j = 0; j <= lastSlammer; ++j) {
            if (i == j) continue;
            const PieceDef& a = slammers.at(static_cast<size_t>(i));
            const PieceDef& b = slammers.at(static_cast<size_t>(j));
            if (a.y == b.y)
                rowPairs.push_back({std::min(a.column, b.column), std::max(a.column, b.column), a.y});
            if (a.column == b.column)
                columnPairs.push_back({std::min(a.y, b.y), std::max(a.y, b.y), a.column});
        }
    }
    std::vector<KillEntry> kills;
    for (const SlamPair& pair : rowPairs) testPair(pair, true, kills);
    for (const SlamPair& pair : columnPairs) testPair(pair, false, kills);
    if (kills.empty()) return;

    const int lastKill = static_cast<int>(kills.size()) - 1;
    if (lastKill > 6) {
        const int32_t n = toInt32(vbInt(lastKill / 2.0) * 400);
        score = add32(score, n);
        showMessage("Slam bonus!  " + signedText(n) + " points");
    }
    for (const KillEntry& entry : kills) {
        FieldCell& cell = fieldCell(entry.row, entry.column);
        if (!cell.occupied) continue;  // the second copy of a doubly noted cell
        killPiece(entry.row, entry.column);
        addZap(zapX(cell.piece.column), zapY(cell.piece.y), entry.horizontal);
    }
    dropUnsupported();
}

} // namespace pomlets
