#include "platform/platform_calls.h"

#include <QProcess>
#include <QStringList>
#include <ctime>
#include <sys/time.h>

#include "platform/start_values.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

bool startOpener(const std::string& address) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{fromWindows1252(address)});
}

double localSecondsSinceMidnight() {
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    const time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_usec / 1e6;
}

void nothingDrawn(const DirectDrawSurface7&, int32_t, int32_t, const std::string&) {}
void nothingGone(const DirectDrawSurface7&) {}
void nothingFlipped(const DirectDrawSurface7&) {}

const PlatformCalls systemCalls{startOpener, localSecondsSinceMidnight, nothingDrawn, nothingGone, nothingFlipped};

PlatformCalls calls = systemCalls;
POMLETS_NOT_RESTORED(calls, "set once for the run, by the program or by what stands in for its surroundings");

} // namespace

PlatformCalls& platformCalls() { return calls; }
const PlatformCalls& systemPlatformCalls() { return systemCalls; }

} // namespace pomlets
