#include "support/program_state.h"

#include <QCoreApplication>
#include <QEvent>

#include "common/brains.h"
#include "datafiles/log.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "datafiles/scrambler.h"
#include "display/assets.h"
#include "display/game_window.h"
#include "display/playlist.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "platform/bass.h"
#include "platform/directx.h"
#include "platform/process_guard.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace pomlets::testing {

void resetProgramState() {
    // Windows first: the main window and the secondary ones are made anew on
    // their next use, and the game window is unloaded with the display.
    releaseFMain();
    if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    resetDisplayObjects();
    BASS_Free();
    resetPictureDescriptions();
    resetSharedState();
    forgetPlayerFileReadings();
    forgetSaveNotices();
    forgetBrokenTracks();

    // The log is let go as it is: a test that wants its closing line closes it.
    if (logFile.isOpen()) {
        try {
            logFile.close();
        } catch (const RuntimeError&) {
        }
    }
    logEnabled = false;
    unlockProgramFolder();

    resetCipherTables();
    resetRnd();
    setRandomizeClock(-1);
    resetWindowsCalls();
    keyboardState().fill(0);
    setMessageBoxResponder(nullptr);
    setInputBoxResponder(nullptr);
    clearShownBoxes();
    setProgramFolder(POMLETS_PROGRAM_DIR);
}

} // namespace pomlets::testing
