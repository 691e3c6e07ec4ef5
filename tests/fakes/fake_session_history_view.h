#pragma once

#include "shell/session_history_view.h"

#include <string>
#include <vector>

namespace corvane::testing {

// The session history window in memory: it shows `rows` lines ending at
// `bottom` (the newest unless scrolled) and records what it was told.
class FakeSessionHistoryView : public SessionHistoryView {
public:
    void setEvents(SessionHistoryEvents* e) override { events = e; }
    void setHistory(const SessionHistory&) override {}
    void showAtNewest() override {
        shown = true;
        ++timesShown;
        atNewest = true;
    }
    void linesChanged() override { ++linesChangedCount; }
    void showMatch(const HistoryMatch& match) override {
        shownMatches.push_back(match);
        atNewest = false;
    }
    void setHighlight(const std::string& query, bool withCase) override {
        highlight = query;
        highlightMatchCase = withCase;
    }
    void setFindStatus(const std::string& text) override { status = text; }
    std::string findText() const override { return find; }
    bool matchCase() const override { return caseMatters; }
    bool highlightAll() const override { return highlightOn; }
    std::uint64_t firstVisibleLine() const override { return firstVisible; }
    std::uint64_t lastVisibleLine() const override { return lastVisible; }
    std::optional<Range> selection() const override { return selected; }

    void close() {
        shown = false;
        events->onClosed();
    }

    SessionHistoryEvents* events = nullptr;
    bool shown = false;
    bool atNewest = false;
    int timesShown = 0;
    int linesChangedCount = 0;
    std::vector<HistoryMatch> shownMatches;
    std::string highlight;
    bool highlightMatchCase = false;
    std::string status;
    std::string find;
    bool caseMatters = false;
    bool highlightOn = false;
    std::uint64_t firstVisible = 0;
    std::uint64_t lastVisible = 0;
    std::optional<Range> selected;
};

} // namespace corvane::testing
