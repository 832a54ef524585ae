#include "common/brains.h"

namespace pomlets {

StartValues& sharedState() {
    static StartValues group;
    POMLETS_LOCAL_NOT_RESTORED(group, "what is put back");
    return group;
}

} // namespace pomlets
