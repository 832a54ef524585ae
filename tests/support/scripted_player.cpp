#include "support/scripted_player.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "common/brains.h"
#include "platform/directx.h"
#include "support/platform_port.h"

namespace pomlets::testing {

namespace {

constexpr int rows = fieldRows;
constexpr int columns = fieldColumns;
// Keys further apart than the game's 150 ms gate, at one pass every 26 ms.
constexpr int32_t keyGap = 156;
// What one key press costs a plan, in removed pieces.
constexpr double keyCost = 0.12;

// What the player knows of a kind of piece: the manual's rules and what the
// goal panel asks of it.
struct Kind {
    bool slammable = false;
    bool bombable = false;
    bool slammer = false;
    bool bomb = false;
    double worth = 0;  // of removing one
};

// The field as the player sees it: one kind number a cell, 0 for empty.
struct Board {
    std::array<std::array<uint8_t, columns>, rows> cell{};
};

class Judge {
public:
    Judge(const std::vector<Kind>& kinds, const std::array<int, columns>& falling)
        : kinds_(kinds), falling_(falling) {}

    // Pieces over an empty cell fall to the top of their column.
    static void settle(Board& b) {
        for (int c = 0; c < columns; ++c) {
            int to = 0;
            for (int r = 0; r < rows; ++r) {
                const uint8_t k = b.cell[r][c];
                if (!k) continue;
                b.cell[r][c] = 0;
                b.cell[to++][c] = k;
            }
        }
    }

    static void shift(Board& b, int row, int step) {
        std::array<uint8_t, columns> moved{};
        for (int c = 0; c < columns; ++c) moved[(c + step + columns) % columns] = b.cell[row][c];
        b.cell[row] = moved;
        settle(b);
    }

    // Runs the Slammer check until nothing more goes; the worth of what went.
    double resolve(Board& b) const {
        double gained = 0;
        for (int round = 0; round < 4; ++round) {
            bool kill[rows][columns] = {};
            bool any = false;
            auto pair = [&](auto cellAt, auto mark, int low, int high) {
                const uint8_t ref = cellAt(low + 1);
                if (!ref) return;
                for (int k = low + 1; k < high; ++k) {
                    const uint8_t here = cellAt(k);
                    if (here != ref || !kinds_[here].slammable) return;
                }
                for (int k = low; k <= high; ++k) mark(k);
                any = true;
            };
            for (int r = 0; r < rows; ++r) {
                int s[columns];
                int n = 0;
                for (int c = 0; c < columns; ++c)
                    if (kinds_[b.cell[r][c]].slammer) s[n++] = c;
                for (int i = 0; i < n; ++i)
                    for (int j = i + 1; j < n; ++j)
                        pair([&](int c) { return b.cell[r][c]; }, [&](int c) { kill[r][c] = true; }, s[i], s[j]);
            }
            for (int c = 0; c < columns; ++c) {
                int s[rows];
                int n = 0;
                for (int r = 0; r < rows; ++r)
                    if (kinds_[b.cell[r][c]].slammer) s[n++] = r;
                for (int i = 0; i < n; ++i)
                    for (int j = i + 1; j < n; ++j)
                        pair([&](int r) { return b.cell[r][c]; }, [&](int r) { kill[r][c] = true; }, s[i], s[j]);
            }
            if (!any) break;
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c)
                    if (kill[r][c]) {
                        gained += kinds_[b.cell[r][c]].worth;
                        b.cell[r][c] = 0;
                    }
            settle(b);
        }
        return gained;
    }

    // How good a settled field is: low columns, nothing about to land on a
    // full one, Bombs lying among what should go.
    double standing(const Board& b) const {
        double value = 0;
        for (int c = 0; c < columns; ++c) {
            int h = 0;
            while (h < rows && b.cell[h][c]) ++h;
            const int landing = h + falling_[c];
            value -= 0.04 * landing * landing;
            if (landing >= rows) value -= 6;
            if (landing > rows) value -= 300.0 * (landing - rows);
        }
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                if (!kinds_[b.cell[r][c]].bomb) continue;
                for (int dr = -1; dr <= 1; ++dr)
                    for (int dc = -1; dc <= 1; ++dc) {
                        const int rr = r + dr, cc = c + dc;
                        if ((dr || dc) && rr >= 0 && rr < rows && cc >= 0 && cc < columns) {
                            const Kind& k = kinds_[b.cell[rr][cc]];
                            if (b.cell[rr][cc] && k.bombable) value += 0.35 * k.worth;
                        }
                    }
            }
        return value;
    }

    // Plays a plan's key presses on a copy of the board; the worth of the result.
    double play(Board b, const std::vector<std::pair<int, int>>& shifts) const {
        double gained = resolve(b);
        for (const auto& [row, steps] : shifts) {
            const int dir = steps > 0 ? 1 : -1;
            for (int i = 0; i < std::abs(steps); ++i) {
                shift(b, row, dir);
                gained += resolve(b);
            }
        }
        return gained + standing(b);
    }

private:
    const std::vector<Kind>& kinds_;
    const std::array<int, columns>& falling_;
};

// The signed rotation (steps right) that brings column from to column to.
int rotation(int from, int to) {
    const int d = ((to - from) % columns + columns) % columns;
    return d <= columns / 2 ? d : d - columns;
}

double worthOf(const PieceDef& piece) {
    const LevelInfo& level = currentLevel;
    double worth = 1.0;
    if (piece.isSlammer) worth = -0.8;  // spent: worth keeping for a run between two
    if (piece.isBomb) worth = 0.5;
    if (piece.isShifter) worth += 1.0;
    if (piece.isGorgon) worth += 1.5;
    if (piece.isBauble) worth -= 3.0;  // it would drop three more, and pays when it ripens
    if (piece.isCalculator) worth += piece.variant < 0 ? 1.5 : -1.0;
    if (level.targetScore != -1 && score < level.targetScore) worth += std::abs(piece.points) / 25.0;
    if (level.goalPiecesLeft > 0 && piece.typeName == level.goalPieceName) worth += 8.0;
    if (level.protectGoalOn && piece.typeName == level.protectPieceName)
        worth -= level.protectPiecesLeft <= 1 ? 1000.0 : 40.0;
    return worth;
}

} // namespace

uint8_t ScriptedPlayer::idOf(const std::string& typeName, int16_t variant) {
    const auto key = std::make_pair(typeName, variant);
    const auto found = ids_.find(key);
    if (found != ids_.end()) return found->second;
    const auto id = static_cast<uint8_t>(kinds_.size());
    kinds_.push_back(key);
    ids_[key] = id;
    return id;
}

int ScriptedPlayer::firstKey(const Plan& plan) const {
    for (const auto& [row, steps] : plan.shifts) {
        if (steps == 0) continue;
        if (row > currentRow) return dik::UP;
        if (row < currentRow) return dik::DOWN;
        return steps > 0 ? dik::RIGHT : dik::LEFT;
    }
    return 0;
}

void ScriptedPlayer::onPass(int32_t now) {
    if (now - lastTap_ < keyGap || levelOver) return;

    // What the screen shows.
    Board board;
    std::vector<Kind> kinds(1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const FieldCell& cell = field.rows[static_cast<size_t>(r)].cells[static_cast<size_t>(c)];
            if (!cell.occupied) continue;
            const PieceDef& p = cell.piece;
            const uint8_t id = idOf(p.typeName, p.variant);
            if (kinds.size() <= id) kinds.resize(static_cast<size_t>(id) + 1);
            kinds[id] = {p.slammable, p.bombable, p.isSlammer, p.isBomb, worthOf(p)};
            board.cell[static_cast<size_t>(r)][static_cast<size_t>(c)] = id;
        }
    std::array<int, columns> falling{};
    for (int i = 0; i <= lastFalling && i < static_cast<int>(fallingPieces.size()); ++i) {
        const PieceDef& p = fallingPieces[static_cast<size_t>(i)];
        if (p.active && !p.isBowlingBall && p.column >= 0 && p.column < columns) ++falling[static_cast<size_t>(p.column)];
    }
    const Judge judge(kinds, falling);
    const double still = judge.play(board, {});
    const int row = currentRow;

    Plan best;
    double bestNet = 0.05;
    auto consider = [&](Plan plan) {
        if (plan.keys == 0 || plan.keys > 30) return;
        plan.value = judge.play(board, plan.shifts) - still;
        double net = plan.value - keyCost * plan.keys;
        if (plan.tag == lastTag_) net += 0.3;
        if (net > bestNet) {
            bestNet = net;
            best = plan;
        }
    };

    // One row turned.
    for (int r = 0; r < rows; ++r) {
        bool any = false;
        for (int c = 0; c < columns; ++c) any = any || board.cell[r][c];
        if (!any) continue;
        for (int s = 1; s < columns; ++s) {
            const int steps = s <= columns / 2 ? s : s - columns;
            consider({{{r, steps}}, 0, std::abs(row - r) + std::abs(steps), 1000 + r * 20 + s});
        }
    }

    // A column lined up: a Slammer in row a and in row b, identical pieces in
    // every row between, each row turned so that they meet in one column.
    std::vector<int> where[rows][64];
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (const uint8_t k = board.cell[r][c]; k && k < 64) where[r][k].push_back(c);
    std::vector<uint8_t> slammerKinds;
    for (size_t k = 1; k < kinds.size() && k < 64; ++k)
        if (kinds[k].slammer) slammerKinds.push_back(static_cast<uint8_t>(k));
    auto nearest = [&](int r, uint8_t k, int target) {
        int bestSteps = 99;
        for (int c : where[r][k]) {
            const int steps = rotation(c, target);
            if (std::abs(steps) < std::abs(bestSteps)) bestSteps = steps;
        }
        return bestSteps;
    };
    auto nearestSlammer = [&](int r, int target) {
        int bestSteps = 99;
        for (uint8_t k : slammerKinds) {
            const int steps = nearest(r, k, target);
            if (std::abs(steps) < std::abs(bestSteps)) bestSteps = steps;
        }
        return bestSteps;
    };
    for (int a = 0; a < rows - 1; ++a) {
        for (int b = a + 1; b < rows && b <= a + 5; ++b) {
            std::vector<uint8_t> middles;
            if (b == a + 1) {
                middles.push_back(0);
            } else {
                for (size_t k = 1; k < kinds.size() && k < 64; ++k) {
                    if (!kinds[k].slammable) continue;
                    bool everywhere = true;
                    for (int r = a + 1; r < b && everywhere; ++r) everywhere = !where[r][k].empty();
                    if (everywhere) middles.push_back(static_cast<uint8_t>(k));
                }
            }
            for (uint8_t middle : middles) {
                for (int target = 0; target < columns; ++target) {
                    std::vector<std::pair<int, int>> shifts;
                    int turns = 0;
                    bool possible = true;
                    for (int r = a; r <= b && possible; ++r) {
                        const int steps = (r == a || r == b) ? nearestSlammer(r, target) : nearest(r, middle, target);
                        if (steps == 99) possible = false;
                        if (steps != 0) shifts.push_back({r, steps});
                        turns += std::abs(steps);
                    }
                    if (!possible || shifts.empty()) continue;
                    const int low = shifts.front().first, high = shifts.back().first;
                    int travel = high - low;
                    if (std::abs(row - high) < std::abs(row - low)) {
                        std::reverse(shifts.begin(), shifts.end());
                        travel += std::abs(row - high);
                    } else {
                        travel += std::abs(row - low);
                    }
                    consider({shifts, 0, travel + turns, 2000 + ((a * rows + b) * 64 + middle) * columns + target});
                }
            }
        }
    }

    const int key = firstKey(best);
    if (key == 0) return;
    lastTag_ = best.tag;
    injectKey(key, true);
    injectKey(key, false);
    lastTap_ = now;
    ++keysTapped_;
}

} // namespace pomlets::testing
