// The store, the backgrounds, the music volume and the bands panels.
#include <array>
#include <cstdint>
#include <string>

#include "common/brains.h"
#include "datafiles/music_list.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "frontend/fmain.h"
#include "frontend/message_box.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

struct StoreItem {
    const char* question;
    int16_t price;
    const char* many;  // the item's name for a count of them
};
// Items 0 to 3; items 4 and 5 are not for sale in this version.
constexpr std::array<StoreItem, 4> storeItems{{
    {"a Slammer", 2, "Slammers"},
    {"a Bomb", 4, "Bombs"},
    {"a Detonator", 7, "Detonators"},
    {"a Bowling Ball", 10, "Bowling Balls"},
}};

QString decimal(int value) { return QString::number(value); }

// A plate of the theme: its folder is named as the theme, in the bytes the
// profile keeps its name in.
std::string platePicture(const QString& themeText, int plate) {
    return appPath("\\themes\\" + toWindows1252(themeText) + "\\plate_0" + std::to_string(plate) + ".bmp");
}

// Saves the profile; a failure is told and changes nothing else.
void saveProfileReporting() { saveTelling(PlayerFile::Profile, saveProfile); }

} // namespace

void FMain::mStore_Click() {
    showPanel(3);
    tBank->setText(decimal(credits));
    for (size_t k = 0; k < 6; ++k) tpurchase[k]->setText(decimal(items[k]));
}

void FMain::purchase_Click(int16_t Index) {
    if (Index == 4 || Index == 5) {
        msgBox(Index == 4 ? "The bonus song is not for sale in this version."
                          : "The Midnight Bowling mode is not for sale in this version.");
        return;
    }
    if (Index < 0 || Index > 5) return;
    const StoreItem& item = storeItems[static_cast<size_t>(Index)];
    int16_t& count = items[static_cast<size_t>(Index)];
    // A count holds no more than its 16 bits: such a purchase is refused
    // before anything is taken.
    if (count == INT16_MAX) {
        msgBox("You already have " + std::to_string(count) + " " + item.many +
               ", the most you can hold.  Nothing was bought.");
        return;
    }
    if (credits < item.price) {
        msgBox("Insufficient credits to make this transaction.  Sorry!");
        return;
    }
    const std::string question = std::string("Do you want to purchase ") + item.question + " for " +
                                 std::to_string(item.price) + " credits?";
    if (msgBox(question, MsgButtons::YesNo) != MsgResult::Yes) return;
    credits = static_cast<int16_t>(credits - item.price);
    count = static_cast<int16_t>(count + 1);
    tpurchase[static_cast<size_t>(Index)]->setText(decimal(count));
    tBank->setText(decimal(credits));
    saveProfileReporting();
}

void FMain::theme_Click() {
    showChosenTheme();
    saveProfileReporting();
}

void FMain::showChosenTheme() {
    // A theme folder without the plate shows no preview.
    themePic->loadPicture(platePicture(theme->currentText(), 1));
    HScroll1->setValue(1);
    themeName = toWindows1252(theme->currentText());
}

void FMain::HScroll1_Change() {
    themePic->loadPicture(platePicture(theme->currentText(), HScroll1->value()));
}

void FMain::HScroll2_Change() { musicVolume = static_cast<int16_t>(HScroll2->value()); }

void FMain::HScroll2_Scroll() { musicVolume = static_cast<int16_t>(HScroll2->value()); }

void FMain::launch_Click() {
    std::string address;
    QListWidgetItem* selected = allBands->currentItem();
    const std::string chosen =
        (selected && selected->isSelected()) ? toWindows1252(selected->text()) : std::string();
    if (selected && selected->isSelected()) {
        for (int i = 0; i <= lastBandIndex && i < static_cast<int>(bandNames.size()); ++i) {
            if (chosen == bandNames[static_cast<size_t>(i)]) address = bandUrls[static_cast<size_t>(i)];
        }
    }
    if (address.empty()) return;
    openExternal(address);
}

} // namespace pomlets
