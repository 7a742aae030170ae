#include "device/device_search.h"

#include "device/device_link.h"

namespace k7 {
namespace {

// The link's failures are kept, not shown: the search skips the port and says why.
class FailureKeeper : public SessionObserver {
public:
    std::string last;
    void statusLine(const std::string&) override {}
    void progressShown() override {}
    void progressMaximum(int) override {}
    void progress(int) override {}
    void progressHidden() override {}
    void caption(const std::string&) override {}
    void captionHidden() override {}
    void verdict(const std::string&, VerdictPicture) override {}
    void failure(const std::string& message) override { last = message; }
    void alert() override {}
};

}  // namespace

SearchOutcome DeviceSearch::run(const std::vector<SearchCandidate>& candidates, const std::vector<int>& rates,
                                char parity) {
    SearchOutcome outcome;
    std::vector<bool> skipped(candidates.size(), false);
    const int total = int(candidates.size() * rates.size());
    int done = 0;
    stopRequested_ = false;
    running_ = true;
    for (std::size_t r = 0; r < rates.size() && !outcome.found && !stopRequested_; ++r) {
        for (std::size_t i = 0; i < candidates.size() && !outcome.found && !stopRequested_; ++i, ++done) {
            if (skipped[i]) continue;
            if (onQuery) onQuery(done, total, candidates[i], rates[r]);
            skipped[i] = !ask(candidates, i, rates[r], parity, outcome);
        }
    }
    outcome.stopped = stopRequested_ && !outcome.found;
    running_ = false;
    return outcome;
}

// One version request; false when the port could not be used.
bool DeviceSearch::ask(const std::vector<SearchCandidate>& candidates, std::size_t index, int baud, char parity,
                       SearchOutcome& outcome) {
    const SearchCandidate& candidate = candidates[index];
    FailureKeeper failures;
    DeviceLink link(port_, pump_, failures);
    link.setBaud(baud);
    std::string reply;
    try {
        if (port_.isOpen()) port_.close();
        port_.setPortName(candidate.device);
        port_.setSettings({baud, parity, 8, 1});
        port_.open();
        reply = link.queryVersion();  // closes the port
    } catch (const std::exception& e) {
        failures.last = e.what();
    }
    if (!failures.last.empty()) {
        outcome.skipped.push_back(candidate.name + ": " + failures.last);
        return false;
    }
    if (reply.find("KORVEN7") != std::string::npos) {
        outcome.found = index;
        outcome.baud = baud;
        outcome.version = reply;
    }
    return true;
}

}  // namespace k7
