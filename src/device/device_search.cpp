#include "device/device_search.h"

#include "device/device_link.h"

namespace k7 {

SearchOutcome DeviceSearch::run(const std::vector<SearchCandidate>& candidates, const std::vector<int>& rates,
                                char parity, bool all) {
    SearchOutcome outcome;
    // A port is asked until it answers as a KORVEN7 or will not open.
    std::vector<bool> done(candidates.size(), false), asked(candidates.size(), false);
    const int total = int(candidates.size() * rates.size());
    int step = 0;
    stopRequested_ = false;
    running_ = true;
    auto finished = [&] { return stopRequested_ || (!all && !outcome.found.empty()); };
    for (std::size_t r = 0; r < rates.size() && !finished(); ++r) {
        for (std::size_t i = 0; i < candidates.size() && !finished(); ++i, ++step) {
            if (done[i]) continue;
            if (onQuery) onQuery(step, total, candidates[i], rates[r]);
            const Answer answer = ask(candidates, i, rates[r], parity, outcome);
            done[i] = answer != Answer::Other;
            if (answer != Answer::CannotOpen && !asked[i]) asked[i] = true, ++outcome.tried;
        }
    }
    outcome.stopped = stopRequested_ && outcome.found.empty();
    running_ = false;
    return outcome;
}

// One version request.
DeviceSearch::Answer DeviceSearch::ask(const std::vector<SearchCandidate>& candidates, std::size_t index, int baud,
                                       char parity, SearchOutcome& outcome) {
    const SearchCandidate& candidate = candidates[index];
    SessionObserver unseen;  // the link's failures are not shown: the search skips the port and says why
    DeviceLink link(port_, pump_, unseen);
    link.setBaud(baud);
    VersionResult version;
    try {
        if (port_.isOpen()) port_.close();
        port_.setPortName(candidate.device);
        port_.setSettings({baud, parity, 8, 1});
        port_.open();
        version = link.queryVersion();  // closes the port
    } catch (const std::exception& e) {
        outcome.skipped.push_back({index, e.what(), failureOutcome(e)});
        return Answer::CannotOpen;
    }
    if (!version.text) {
        if (version.outcome.kind == OutcomeKind::NoVersionReply) return Answer::Other;
        outcome.skipped.push_back({index, version.outcome.message, version.outcome});
        return Answer::CannotOpen;
    }
    if (!isKorven7Reply(*version.text)) return Answer::Other;
    outcome.found.push_back({index, baud, *version.text});
    return Answer::Korven7;
}

}  // namespace k7
