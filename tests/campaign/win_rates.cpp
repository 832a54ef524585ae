// Run by hand: plays every shipped Arcade level from the campaign's 20 seeds
// with the scripted player and prints, per level, the win rate and the median
// game time of a win, as a Markdown table.
//   campaign_rates [--seeds N] [--from P] [--to P] [--jobs J]
// The games run in J worker processes (default 8), since a game uses the
// program's one set of globals.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "campaign_game.h"
#include "platform/runtime.h"

using namespace pomlets::testing;

namespace {

struct Result {
    int position = 0, seed = 0, won = 0, time = 0;
};

void worker(int fd, int argc, char** argv, const std::vector<std::pair<CampaignLevel, int>>& games) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);
    pomlets::setProgramFolder(POMLETS_PROGRAM_DIR);
    for (const auto& [level, seed] : games) {
        const LevelOutcome outcome = playCampaignLevel(level.fileNumber, campaignSeeds()[static_cast<size_t>(seed)]);
        char line[128];
        const int n = std::snprintf(line, sizeof line, "%d %d %d %d\n", level.position, seed, outcome.won ? 1 : 0,
                                    outcome.gameTime);
        if (write(fd, line, static_cast<size_t>(n)) != n) _exit(2);
    }
}

} // namespace

int main(int argc, char** argv) {
    int seeds = 20, from = 1, to = 1000, jobs = 8;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--seeds")) seeds = std::clamp(value, 1, static_cast<int>(campaignSeeds().size()));
        if (!std::strcmp(argv[i], "--from")) from = value;
        if (!std::strcmp(argv[i], "--to")) to = value;
        if (!std::strcmp(argv[i], "--jobs")) jobs = std::max(1, value);
    }
    std::vector<std::pair<CampaignLevel, int>> games;
    for (const CampaignLevel& level : campaignFromSources())
        if (level.position >= from && level.position <= to)
            for (int s = 0; s < seeds; ++s) games.push_back({level, s});
    // Long levels first, spread over the workers.
    std::vector<int> fds;
    std::vector<pid_t> pids;
    for (int j = 0; j < jobs; ++j) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return 1;
        std::vector<std::pair<CampaignLevel, int>> mine;
        for (size_t g = static_cast<size_t>(j); g < games.size(); g += static_cast<size_t>(jobs)) mine.push_back(games[g]);
        const pid_t pid = fork();
        if (pid == 0) {
            close(pipeFds[0]);
            worker(pipeFds[1], argc, argv, mine);
            close(pipeFds[1]);
            _exit(0);
        }
        close(pipeFds[1]);
        fds.push_back(pipeFds[0]);
        pids.push_back(pid);
    }
    std::map<int, std::vector<Result>> byLevel;
    std::map<int, int> files;
    for (const auto& [level, seed] : games) files[level.position] = level.fileNumber;
    for (int fd : fds) {
        std::string text;
        char buffer[4096];
        ssize_t n;
        while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
        close(fd);
        size_t at = 0;
        while (at < text.size()) {
            const size_t end = text.find('\n', at);
            Result r;
            if (std::sscanf(text.c_str() + at, "%d %d %d %d", &r.position, &r.seed, &r.won, &r.time) == 4)
                byLevel[r.position].push_back(r);
            at = end == std::string::npos ? text.size() : end + 1;
        }
    }
    for (pid_t pid : pids) waitpid(pid, nullptr, 0);

    std::printf("| level | file | win rate | median win time | wins by seed |\n|---|---|---|---|---|\n");
    double early = 0, late = 0;
    int earlyN = 0, lateN = 0;
    for (auto& [position, results] : byLevel) {
        std::sort(results.begin(), results.end(), [](const Result& a, const Result& b) { return a.seed < b.seed; });
        std::vector<int> times;
        std::string pattern;
        for (const Result& r : results) {
            if (r.won) times.push_back(r.time);
            pattern += r.won ? 'W' : '.';
        }
        std::sort(times.begin(), times.end());
        const double rate = results.empty() ? 0 : 100.0 * static_cast<double>(times.size()) / static_cast<double>(results.size());
        char median[32] = "-";
        if (!times.empty()) {
            const size_t m = times.size();
            const int t = m % 2 ? times[m / 2] : (times[m / 2 - 1] + times[m / 2]) / 2;
            std::snprintf(median, sizeof median, "%d:%02d", t / 60000, t / 1000 % 60);
        }
        std::printf("| %d | %d | %.0f %% | %s | %s |\n", position, files[position], rate, median, pattern.c_str());
        if (position <= 10) early += rate, ++earlyN;
        if (position >= 41 && position <= 51) late += rate, ++lateN;
    }
    if (earlyN) std::printf("\nLevels 1-10: %.1f %% on average.", early / earlyN);
    if (lateN) std::printf("  Levels 41-51: %.1f %% on average.", late / lateN);
    std::printf("\n");
    return 0;
}
