#include "cli/outcome_output.h"

#include <algorithm>
#include <cstdio>

namespace k7 {

std::vector<std::string> plainLines(Command command, const std::vector<PortOutcome>& outcomes, bool listWritten) {
    std::vector<std::string> lines;
    for (const PortOutcome& o : outcomes) {
        const std::string prefix = outcomes.size() > 1 ? o.port + "\t" : "";
        const bool done = o.kind == OutcomeKind::Done;
        if (command == Command::Detect && done) lines.push_back(o.port + "\t" + std::to_string(o.baud) + "\t" + o.version);
        if (command == Command::Version && done) lines.push_back(prefix + o.version);
        if (command == Command::Read && done && !listWritten)
            for (const KeyString& e : o.entries) lines.push_back(prefix + e.legend + "\t" + e.notation);
        for (const StringDifference& d : o.differences)
            lines.push_back(prefix + d.key + "\t" + d.expected + "\t" + d.found.value_or("(no answer)"));
        for (const PlannedKey& k : o.planned)
            lines.push_back(prefix + k.key + "\t" + k.holds.value_or("(no answer)") + "\t" + k.writes);
    }
    return lines;
}

std::string jsonText(const std::string& bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out += std::string("\\") + c;
        else if (b >= 0x20 && b < 0x7F) out += c;
        else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string jsonEntries(const std::vector<KeyString>& entries) {
    std::string json = "[";
    for (std::size_t k = 0; k < entries.size(); ++k)
        json += std::string(k ? "," : "") + "{\"key\":" + jsonText(entries[k].legend) + ",\"string\":" +
                jsonText(entries[k].notation) + "}";
    return json + "]";
}

namespace {

std::string jsonList(const std::vector<std::string>& texts) {
    std::string json = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) json += (i ? "," : "") + jsonText(texts[i]);
    return json + "]";
}

// The members every document starts with.
std::string jsonHead(const std::string& command, int status, const std::vector<std::string>& warnings) {
    std::string json = "{\"command\":" + jsonText(command) + ",\"exit_status\":" + std::to_string(status);
    if (!warnings.empty()) json += ",\"warnings\":" + jsonList(warnings);
    return json;
}

std::string jsonResult(Command command, const PortOutcome& o) {
    std::string json = "{\"port\":" + jsonText(o.port) + ",\"operation\":" + jsonText(commandName(command)) +
                       ",\"outcome\":" + jsonText(outcomeName(o)) + ",\"message\":" + jsonText(o.message);
    if (command == Command::Version || command == Command::Detect) json += ",\"version\":" + jsonText(o.version);
    if (command == Command::Detect) json += ",\"baud\":" + std::to_string(o.baud) + ",\"skipped\":" + (o.skipped ? "true" : "false");
    if (command == Command::Read) {
        json += ",\"entries\":" + jsonEntries(o.entries) + ",\"unread\":" + jsonList(o.unread);
    }
    if (command == Command::Verify || command == Command::Send) {
        json += ",\"differences\":" + jsonDifferences(o.differences);
    }
    if (o.dryRun) {
        json += ",\"dry_run\":[";
        for (std::size_t k = 0; k < o.planned.size(); ++k) {
            const PlannedKey& p = o.planned[k];
            json += std::string(k ? "," : "") + "{\"key\":" + jsonText(p.key) + ",\"holds\":" +
                    (p.holds ? jsonText(*p.holds) : "null") + ",\"writes\":" + jsonText(p.writes) + "}";
        }
        json += "]";
    }
    return json + "}";
}

}  // namespace

std::string jsonDocument(Command command, const std::vector<PortOutcome>& outcomes, int status,
                         const std::vector<std::string>& warnings) {
    std::string json = jsonHead(commandName(command), status, warnings) + ",\"results\":[";
    for (std::size_t i = 0; i < outcomes.size(); ++i) json += (i ? "," : "") + jsonResult(command, outcomes[i]);
    return json + "]}";
}

std::string jsonError(const std::string& command, const std::string& error, const std::vector<std::string>& warnings) {
    return jsonHead(command, 2, warnings) + ",\"error\":" + jsonText(error) + ",\"results\":[]}";
}

std::string jsonDifferences(const std::vector<StringDifference>& differences) {
    std::string json = "[";
    for (const StringDifference& d : differences)
        json += std::string(json.size() > 1 ? "," : "") + "{\"key\":" + jsonText(d.key) + ",\"expected\":" +
                jsonText(d.expected) + ",\"found\":" + (d.found ? jsonText(*d.found) : "null") + "}";
    return json + "]";
}

std::string jsonPortList(const std::vector<SerialPortInfo>& ports) {
    std::string json = "{\"command\":\"ports\",\"exit_status\":0,\"ports\":[";
    for (std::size_t i = 0; i < ports.size(); ++i)
        json += std::string(i ? "," : "") + "{\"port\":" + jsonText(ports[i].device) + ",\"description\":" +
                jsonText(ports[i].description) + ",\"manufacturer\":" + jsonText(ports[i].manufacturer) +
                ",\"serial_number\":" + jsonText(ports[i].serialNumber) + "}";
    return json + "]}";
}

std::string summaryLine(const PortOutcome& o) {
    return "korven7: " + (o.port.empty() ? "" : o.port + ": ") + o.message;
}

std::string progressLine(const std::vector<PortProgress>& ports) {
    auto percent = [](const PortProgress& p) { return p.maximum > 0 ? std::clamp(p.value * 100 / p.maximum, 0, 100) : 0; };
    if (ports.size() == 1) {
        constexpr int kWidth = 30;
        const int done = percent(ports[0]) * kWidth / 100;
        return ports[0].caption + " [" + std::string(std::size_t(done), '#') + std::string(std::size_t(kWidth - done), '.') +
               "] " + std::to_string(percent(ports[0])) + "%";
    }
    std::string line;
    for (const PortProgress& p : ports) {
        const std::size_t slash = p.port.find_last_of('/');
        line += (line.empty() ? "" : "  ") + (slash == std::string::npos ? p.port : p.port.substr(slash + 1)) + " " +
                std::to_string(percent(p)) + "%";
    }
    return line;
}

}  // namespace k7
