#include "field_picture.h"

#include <memory>

#include "engine/chance.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/program_state.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"
#include "support/sound_watch.h"

namespace pomlets::testing {

const std::string pieceLetters = "1234SBRXMNTGUKHDWQ";

PieceDef pieceOf(char letter) {
    PieceDef p;
    p.imageIndex = static_cast<int16_t>(slotOf(letter));
    p.timerMin = 1000;
    p.timerMax = 5000;
    p.points = 10;
    p.spawnLow = 1000;  // an empty range: nothing spawns unless a test says so
    p.spawnHigh = -1;
    switch (letter) {
    case '1': case '2': case '3': case '4':
        p.typeName = "Pomlet";
        p.variant = static_cast<int16_t>(letter - '0');
        p.slammable = p.bombable = true;
        break;
    case 'S': p.typeName = "Slammer"; p.isSlammer = true; p.slammable = p.bombable = true; p.points = 50; break;
    case 'B': p.typeName = "Bomb"; p.isBomb = true; p.bombable = true; p.points = 25; break;
    case 'R': p.typeName = "Rock"; p.bombable = true; p.points = 5; break;
    case 'X': p.typeName = "Blaster"; p.blastOnRemoval = true; p.bombable = true; p.points = 30; break;
    case 'M': p.typeName = "Money"; p.isMoney = true; p.bombable = true; p.points = 99; break;
    case 'N': p.typeName = "Music"; p.bombable = true; p.points = 77; break;
    case 'T': p.typeName = "BType"; p.bombable = true; p.points = 20; break;
    case 'G': p.typeName = "Gorgon"; p.isGorgon = true; p.bombable = true; p.points = 40; break;
    case 'U': p.typeName = "Bauble"; p.isBauble = true; p.bombable = true; p.points = 15; break;
    case 'K': p.typeName = "Calculator"; p.isCalculator = true; p.bombable = true; break;
    case 'H': p.typeName = "Shifter"; p.isShifter = true; p.bombable = true; break;
    case 'D': p.typeName = "Diamond"; p.isDiamond = true; p.bombable = true; p.points = 60; break;
    case 'W': p.typeName = "Bowling Ball"; p.isBowlingBall = true; p.points = 0; break;
    case 'Q': p.typeName = "Quartz"; p.variant = 1; p.slammable = p.bombable = true; break;
    default: ADD_FAILURE() << "no piece letter " << letter;
    }
    return p;
}

int slotOf(char letter) {
    const auto at = pieceLetters.find(letter);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

char letterOf(const PieceDef& piece) {
    for (char letter : pieceLetters) {
        const PieceDef def = pieceOf(letter);
        if (def.typeName == piece.typeName && (def.variant == piece.variant || def.isCalculator))
            return letter;
    }
    return '?';
}

void installPieceDefs() {
    pieceDefs = {};
    for (size_t i = 0; i < pieceLetters.size(); ++i) pieceDefs[i] = pieceOf(pieceLetters[i]);
    lastPieceType = static_cast<int16_t>(pieceLetters.size() - 1);
}

void setField(const std::vector<std::string>& rowsTopFirst) {
    field = PlayField{};
    const int given = static_cast<int>(rowsTopFirst.size());
    ASSERT_LE(given, fieldRows);
    for (int k = 0; k < given; ++k) {
        const int row = given - 1 - k;
        const std::string& text = rowsTopFirst[static_cast<size_t>(k)];
        ASSERT_EQ(text.size(), static_cast<size_t>(fieldColumns)) << "row " << row << ": " << text;
        for (int c = 0; c < fieldColumns; ++c) {
            const char letter = text[static_cast<size_t>(c)];
            if (letter == '.') continue;
            FieldCell& cell = field.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(c)];
            cell.piece = pieceOf(letter);
            cell.piece.column = static_cast<int16_t>(c);
            cell.piece.y = static_cast<int16_t>(520 - 85 * row);
            cell.piece.deadline = 1 << 30;  // timers far in the future unless a test sets them
            cell.occupied = true;
        }
    }
}

std::vector<std::string> fieldPicture() {
    std::vector<std::string> rows;
    for (int row = fieldRows - 1; row >= 0; --row) {
        std::string text;
        for (int c = 0; c < fieldColumns; ++c) {
            const FieldCell& cell = field.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(c)];
            text += cell.occupied ? letterOf(cell.piece) : '.';
        }
        rows.push_back(text);
    }
    return rows;
}

void setClock(int32_t ms) {
    setTickCount(ms);
    pausedTotal = 0;
}

uint32_t stateForDraws(int n, const std::vector<int>& draws) {
    for (uint32_t state = 0; state < (1u << 24); ++state) {
        setRndState(state);
        bool all = true;
        for (int wanted : draws)
            if (randomInt(n) != wanted) {
                all = false;
                break;
            }
        if (all) {
            setRndState(state);
            return state;
        }
    }
    ADD_FAILURE() << "no generator state gives the wanted draws";
    return 0;
}

namespace {
SoundRef freshSound() { return std::make_shared<DirectSoundBuffer>(); }
} // namespace

void installSounds() {
    for (SoundRef* s : {&sndChangeRow, &sndMoveRow, &sndGameOver, &sndPop, &sndSlam, &sndGorgonArrive, &sndCoin,
                        &sndGorgonLeave, &sndCalculateMinus, &sndCalculatePlus, &sndBowling, &sndDetonate,
                        &sndMusic, &sndBauble1, &sndBauble2})
        *s = freshSound();
    for (auto* group : {&sndConnect, &sndFrog, &sndClapping})
        for (SoundRef& s : *group) s = freshSound();
}

int plays(const SoundRef& sound) { return sound ? timesStarted(sound) : -1; }

void EngineTest::SetUp() {
    // Also run again by table tests before each of their cases.
    resetProgramState();
    setRandomizeClock(0);
    setClock(100000);
    installPieceDefs();
    installSounds();
    gameMode = "Freestyle";
    currentLevel.goalPieceName = "-1";
    currentLevel.protectPieceName = "-1";
    currentLevel.settlePieceName = "-1";
}

} // namespace pomlets::testing
