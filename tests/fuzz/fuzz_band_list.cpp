// The list of bands, read with the themes at start-up, and every band's
// address launched from the bands panel: the opener is handed exactly the
// plain web and mail addresses, checked here by a rule written apart from
// the game's own.
#include <QListWidget>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/brains.h"
#include "frontend/fmain.h"
#include "fuzz_support.h"
#include "platform/win32.h"
#include "support/platform_port.h"

using namespace pomlets;

namespace {

bool letterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

std::vector<std::string_view> split(std::string_view text, char at) {
    std::vector<std::string_view> parts;
    for (size_t from = 0;;) {
        const size_t to = text.find(at, from);
        parts.push_back(text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
        if (to == std::string_view::npos) return parts;
        from = to + 1;
    }
}

bool isHost(std::string_view host) {
    for (std::string_view label : split(host, '.')) {
        if (label.empty() || label.front() == '-' || label.back() == '-') return false;
        for (char c : label)
            if (!letterOrDigit(c) && c != '-') return false;
    }
    return true;
}

std::string lowered(std::string_view text, size_t count) {
    std::string out(text.substr(0, count));
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool isWebAddress(std::string_view url) {
    size_t scheme = lowered(url, 7) == "http://" ? 7 : lowered(url, 8) == "https://" ? 8 : 0;
    if (scheme == 0) return false;
    const std::string_view rest = url.substr(scheme);
    const size_t end = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, end);
    const std::string_view tail = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    if (const size_t colon = authority.find(':'); colon != std::string_view::npos) {
        const std::string_view port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5) return false;
        for (char c : port)
            if (c < '0' || c > '9') return false;
        authority = authority.substr(0, colon);
    }
    if (!isHost(authority)) return false;
    const std::string_view allowed = "-._~:/?#[]@!$&'()*+,;=";
    for (size_t i = 0; i < tail.size(); ++i) {
        if (tail[i] == '%') {
            if (i + 2 >= tail.size() || !isHex(tail[i + 1]) || !isHex(tail[i + 2])) return false;
            i += 2;
        } else if (!letterOrDigit(tail[i]) && allowed.find(tail[i]) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

bool isMailAddress(std::string_view url) {
    if (lowered(url, 7) != "mailto:") return false;
    const std::vector<std::string_view> parts = split(url.substr(7), '@');
    if (parts.size() != 2 || !isHost(parts[1])) return false;
    const std::string_view allowed = "!#$&'*+-/=^_`{|}~";
    for (std::string_view atom : split(parts[0], '.')) {
        if (atom.empty()) return false;
        for (char c : atom)
            if (!letterOrDigit(c) && allowed.find(c) == std::string_view::npos) return false;
    }
    return true;
}

bool mayBeOpened(std::string_view target) { return isWebAddress(target) || isMailAddress(target); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeScrambled("init/6859", fuzz::textOf(data, size));
    FMain& w = fMain();
    w.allBands->clear();
    fuzz::expectingRuntimeErrors([&] { w.popThemes(); });

    // Whatever the bands panel hands over must pass the rule; nothing is
    // really opened.
    setShellRecorder([](const std::string& target) {
        if (!mayBeOpened(target)) std::abort();
    });
    for (int row = 0; row < w.allBands->count(); ++row) {
        w.allBands->setCurrentRow(row);
        w.launch_Click();
    }
    // And every address that passes it is handed over, also the whole input
    // taken as one address (commas, quotes and line ends included).
    std::vector<std::string> addresses = bandUrls;
    addresses.emplace_back(fuzz::textOf(data, size));
    for (const std::string& address : addresses) {
        const bool handedOver = ShellExecuteA(nullptr, "open", address, "", "", 0) > 32;
        if (handedOver != mayBeOpened(address)) std::abort();
    }
    return 0;
}
