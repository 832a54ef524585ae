#include "support/sound_watch.h"

#include <map>

namespace pomlets::testing {
namespace {

class Watch final : public SoundWatch {
public:
    void loaded(const DirectSoundBuffer& sound, const std::string& path) override { paths[&sound] = path; }
    void started(const DirectSoundBuffer& sound) override { ++starts[&sound]; }
    // A buffer made later in the same place is another one.
    void gone(const DirectSoundBuffer& sound) override {
        starts.erase(&sound);
        paths.erase(&sound);
    }

    std::map<const DirectSoundBuffer*, int> starts;
    std::map<const DirectSoundBuffer*, std::string> paths;
};

// Never destroyed: the program may still play a sound as it ends.
Watch& watch() {
    static Watch& w = *new Watch;
    return w;
}

} // namespace

void watchSoundsAfresh() {
    watch().starts.clear();
    watch().paths.clear();
    watchSounds(&watch());
}

int timesStarted(const SoundRef& sound) {
    if (!sound) return -1;
    const auto it = watch().starts.find(sound.get());
    return it == watch().starts.end() ? 0 : it->second;
}

std::string loadedFrom(const SoundRef& sound) {
    const auto it = watch().paths.find(sound.get());
    return it == watch().paths.end() ? std::string() : it->second;
}

} // namespace pomlets::testing
