// One frame's rules on a busy field: 69 lying pieces (5 of them Slammers),
// 10 falling pieces, 20 point popups and 10 explosions. Timed: the falling
// pieces, the compaction, the rules pass with its Slammer check, and the
// effect updates. The display is not set up, so nothing is drawn.
#include <benchmark/benchmark.h>

#include <chrono>

#include "common/brains.h"
#include "engine/board_rules.h"
#include "engine/effects.h"
#include "engine/field.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/settable_clock.h"

namespace pomlets {
namespace {

using testing::setTickCount;

struct Scene {
    PlayField field;
    std::vector<PieceDef> falling;
    std::vector<PointPopup> popups;
    std::vector<Explosion> explosions;
};

PieceDef pomlet(int variant) {
    PieceDef p;
    p.typeName = "Pomlet";
    p.variant = static_cast<int16_t>(variant);
    p.slammable = p.bombable = true;
    p.points = 10;
    p.deadline = 1 << 30;
    return p;
}

Scene makeScene() {
    Scene s;
    for (int r = 0; r < fieldRows; ++r)
        for (int c = 0; c < fieldColumns; ++c) {
            if (r == 6 && c == 9) continue;  // 69 pieces
            FieldCell& cell = s.field.rows[static_cast<size_t>(r)].cells[static_cast<size_t>(c)];
            cell.piece = pomlet(1 + (r * 3 + c) % 4);  // no two neighbours alike
            cell.piece.column = static_cast<int16_t>(c);
            cell.piece.y = static_cast<int16_t>(520 - 85 * r);
            cell.occupied = true;
        }
    // Five Slammers: pairs in rows and columns whose runs do not qualify.
    for (auto [r, c] : {std::pair{0, 1}, {0, 5}, {3, 1}, {3, 8}, {5, 5}}) {
        PieceDef& p = s.field.rows[static_cast<size_t>(r)].cells[static_cast<size_t>(c)].piece;
        p.typeName = "Slammer";
        p.variant = 0;
        p.isSlammer = true;
    }
    for (int i = 0; i < 10; ++i) {
        PieceDef p = pomlet(1 + i % 4);
        p.active = true;
        p.column = static_cast<int16_t>(i);
        p.y = static_cast<int16_t>(20 * i);
        p.speed = static_cast<int16_t>(1 + i);
        s.falling.push_back(p);
    }
    for (int i = 0; i < 20; ++i) s.popups.push_back(PointPopup{static_cast<int16_t>(10 * i), static_cast<int16_t>(400 - 10 * i), 10});
    for (int i = 0; i < 10; ++i) s.explosions.push_back(Explosion{static_cast<int16_t>(30 * i), 200, static_cast<int16_t>(10 + 50 * (i % 5))});
    return s;
}

void load(const Scene& s) {
    field = s.field;
    fallingPieces = s.falling;
    lastFalling = static_cast<int16_t>(s.falling.size() - 1);
    pointPopups = s.popups;
    lastPointPopup = static_cast<int16_t>(s.popups.size() - 1);
    explosions = s.explosions;
    lastExplosion = static_cast<int16_t>(s.explosions.size() - 1);
}

void frameRules() {
    updateFallingPieces();
    compactFallingList();
    updateBoardRules();
    if (lastExplosion > -1) updateExplosions();
    if (lastZap > -1) updateZaps();
    if (lastPointPopup > -1) updatePointPopups();
}

void BM_FrameRules(benchmark::State& state) {
    resetSharedState();
    setTickCount(100000);
    const Scene scene = makeScene();
    for (auto _ : state) {
        load(scene);
        const auto start = std::chrono::steady_clock::now();
        frameRules();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        benchmark::DoNotOptimize(score);
    }
    resetSharedState();
}
BENCHMARK(BM_FrameRules)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
} // namespace pomlets

BENCHMARK_MAIN();
