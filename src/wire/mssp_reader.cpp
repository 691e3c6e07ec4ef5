#include "wire/mssp_reader.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr char kVar = 1;
constexpr char kVal = 2;

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The text up to the next marker, cut to the size kept.
std::string takeText(std::string_view& rest, bool& cut) {
    static constexpr char kMarkers[] = {kVar, kVal};
    const std::size_t end = std::min(rest.find_first_of(std::string_view(kMarkers, 2)), rest.size());
    std::string text(rest.substr(0, std::min(end, MsspReport::kMaxTextBytes)));
    if (end > MsspReport::kMaxTextBytes) {
        cut = true;
    }
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) {
            c = ' ';
        }
    }
    rest.remove_prefix(end);
    return text;
}

} // namespace

MsspReport MsspReport::Read(std::string_view payload) {
    MsspReport report;
    MsspVariable* current = nullptr;
    // Anything before the first variable is not part of one.
    payload.remove_prefix(std::min(payload.find(kVar), payload.size()));
    while (!payload.empty()) {
        const char marker = payload.front();
        payload.remove_prefix(1);
        std::string text = takeText(payload, report.cut);
        if (marker == kVar) {
            if (report.variables.size() >= kMaxVariables) {
                report.cut = true;
                current = nullptr;
                continue;
            }
            current = &report.variables.emplace_back(MsspVariable{std::move(text), {}});
        } else if (current != nullptr) {
            if (current->values.size() >= kMaxValues) {
                report.cut = true;
                continue;
            }
            current->values.push_back(std::move(text));
        }
    }
    // A name without a value says nothing.
    std::erase_if(report.variables, [](const MsspVariable& v) { return v.name.empty() || v.values.empty(); });
    return report;
}

const std::vector<std::string>* MsspReport::find(std::string_view name) const {
    for (const MsspVariable& variable : variables) {
        if (sameName(variable.name, name)) {
            return &variable.values;
        }
    }
    return nullptr;
}

} // namespace corvane
