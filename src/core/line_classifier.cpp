#include "core/line_classifier.h"

#include "core/main_window_view.h"
#include "core/number_text.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {

const std::array<std::string, 8> PresencePhrases = {
    "You are the only one awake here.",
    "is idle here.",
    "is asleep here.",
    "The only puppet here is",
    "The players awake here are",
    "The idlers here are",
    "The sleepers here are",
    "The puppets here are",
};

namespace {

constexpr std::string_view kReplyPrefix = "[on]";
constexpr std::string_view kReplySuffix = "[off]";
constexpr std::string_view kRoomMarker = "[vrox]";
const std::string kGettingPlayerInfo = status::GettingPlayerInfo;

// Which list each phrase fills (phrase 1 names nobody).
constexpr std::array<PlayerKind, 8> kPhraseKinds = {PlayerKind::Awake,  PlayerKind::Idle,  PlayerKind::Asleep,
                                                    PlayerKind::Puppet, PlayerKind::Awake, PlayerKind::Idle,
                                                    PlayerKind::Asleep, PlayerKind::Puppet};

std::int32_t roundToInt32(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(rounded);
}

// "Player Name" heads older WHO tables; newer servers head theirs with "Name"
// and the column gap ("Name               On for Idle  Doing").
bool isWhoHeader(const std::string& line) {
    return StartsWith(line, "Player Name") || StartsWith(line, "Name  ");
}

// The trailer that closes a WHO listing: "3 players are connected.",
// "3 unique accounts logged in.".
bool isWhoTrailer(const std::string& line) {
    const bool counts = FindNoCase(line, "player") != std::string::npos ||
                        FindNoCase(line, "account") != std::string::npos;
    const bool presence = FindNoCase(line, "connected") != std::string::npos ||
                          FindNoCase(line, "logged in") != std::string::npos;
    return counts && presence;
}

// The Diku family's WHO: "Players" (or "Mortals", "Immortals") over a dashed
// line, rows "[ 1 Wa] Tester the Swordpupil", then "2 characters displayed."
// or "One lonely character displayed.".
bool isDikuWhoHeader(const std::string& line) {
    const std::string word =
        ToLowerAscii(line.substr(0, std::min(line.find_last_not_of(' ') + 1, line.size())));
    const std::size_t first = word.find_first_not_of(' ');
    return first != std::string::npos &&
           (word.substr(first) == "players" || word.substr(first) == "mortals" ||
            word.substr(first) == "immortals");
}

bool isDikuWhoTrailer(const std::string& line) {
    return FindNoCase(line, "character") != std::string::npos &&
           FindNoCase(line, "displayed") != std::string::npos;
}

// "[ 1 Wa] Tester the Swordpupil" -> "Tester": a short bracket of level and
// class at the start, the name the first word after it.
std::string bracketRowName(const std::string& line) {
    constexpr std::size_t kLongestBracket = 16;
    if (line.empty() || line.front() != '[') {
        return {};
    }
    const std::size_t close = line.find(']');
    if (close == std::string::npos || close > kLongestBracket || close + 1 >= line.size() ||
        line[close + 1] != ' ') {
        return {};
    }
    const std::size_t start = line.find_first_not_of(' ', close + 1);
    if (start == std::string::npos) {
        return {};
    }
    return line.substr(start, line.find(' ', start) - start);
}

// A table border: "+-----+------+", "+~~~~~~+".
bool isTableBorder(const std::string& line) {
    if (line.size() < 3 || (line.front() != '+' && line.front() != '-')) {
        return false;
    }
    return line.find_first_not_of("+-~=| ") == std::string::npos;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "| admin | 5m | ..." -> its first cell, "admin".
std::string firstCell(const std::string& line) {
    const std::size_t end = line.find('|', 1);
    return trimmed(line.substr(1, end == std::string::npos ? std::string::npos : end - 1));
}

// A row of a column listing: the name, then the column gap or a time
// ("Alice              01:23   5m  doing"). A say or a room line has neither.
bool isColumnRow(const std::string& line, std::size_t nameEnd) {
    if (line.compare(nameEnd, 2, "  ") == 0) {
        return true;
    }
    for (std::size_t colon = line.find(':', nameEnd); colon != std::string::npos; colon = line.find(':', colon + 1)) {
        const auto digit = [&](std::size_t at) { return at < line.size() && line[at] >= '0' && line[at] <= '9'; };
        if (colon > 0 && digit(colon - 1) && digit(colon + 1) && digit(colon + 2)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string RoomCaption(const std::string& worldName, const std::string& roomName) {
    constexpr std::size_t kMaxCaptionName = 100;
    if (Utf8Length(roomName) <= kMaxCaptionName) {
        return worldName + " - " + roomName;
    }
    return worldName + " - " + Utf8Left(roomName, kMaxCaptionName - 3) + "...";
}

LineClassifier::LineClassifier(Session& session, StatusLine& status, StatusView& statusView,
                               MainWindowView& window)
    : m_session(session)
    , m_status(status)
    , m_statusView(statusView)
    , m_window(window) {}

bool LineClassifier::ClassifyLine(std::string& line) {
    if (StartsWith(line, kReplyPrefix)) {
        m_session.OutputFramed = true;
    }
    if (m_session.ListMode != 0) {
        return ClassifyListLine(line);
    }
    if (StartsWith(line, kReplyPrefix)) {
        line.clear();
        replyStarted();
        return false;
    }
    if (StartsWith(line, kReplySuffix)) {
        line.clear();
        return false;
    }
    if (StartsWith(line, kRoomMarker)) {
        roomMarker(line);
        line.clear();
        return false;
    }
    return true;
}

void LineClassifier::replyStarted() {
    if (m_session.LagMeterOn) {
        m_statusView.setLabelColours(StatusView::LagLabel, colours::Black, colours::LightGrey);
    }
    if (m_playerList != nullptr) {
        m_playerList->setCommandLabelVisible(false);
    }
    if (m_session.LagSeconds > 0) {
        m_statusView.setLabelText(StatusView::LagLabel,
                                  "Current Lag: " + std::to_string(m_session.LagSeconds) + " secs");
    }
    if (m_session.PendingReplies > 0) {
        --m_session.PendingReplies;
    }
    m_session.LagSeconds = 0;
}

void LineClassifier::promptEnded() {
    // Framed worlds have their frames; their prompts say nothing of replies.
    if (m_session.OutputFramed) {
        return;
    }
    m_session.PromptsEndReplies = true;
    if (m_session.ReplyBegun) {
        // The prompt that closes an answer whose wait its first line ended.
        m_session.ReplyBegun = false;
        return;
    }
    if (m_session.PendingReplies == 0) {
        // A prompt nobody waited for (a tick, a fight round) ends no wait.
        return;
    }
    promptWaitEnded();
}

void LineClassifier::lineEnded() {
    // A world may answer without a prompt: the wait ends at the answer's
    // first line, or the meter would count on after every such answer.
    if (m_session.OutputFramed || !m_session.PromptsEndReplies || m_session.ReplyBegun ||
        m_session.PendingReplies == 0) {
        return;
    }
    m_session.ReplyBegun = true;
    promptWaitEnded();
}

void LineClassifier::promptWaitEnded() {
    --m_session.PendingReplies;
    if (m_session.LagMeterOn) {
        m_statusView.setLabelColours(StatusView::LagLabel, colours::Black, colours::LightGrey);
        if (m_session.LagSeconds > 0) {
            m_statusView.setLabelText(StatusView::LagLabel,
                                      "Current Lag: " + std::to_string(m_session.LagSeconds) + " secs");
        }
    }
    m_session.LagSeconds = 0;
}

void LineClassifier::roomMarker(const std::string& line) {
    // "[vrox] #123 Town Square": the number starts after "[vrox] #".
    constexpr std::size_t numberStart = 8;
    if (line.size() <= numberStart) {
        m_session.RoomRef = 0;
        m_session.RoomName.clear();
    } else {
        const std::size_t space = line.find(' ', numberStart);
        const std::string number = line.substr(
            numberStart, space == std::string::npos ? std::string::npos : space - numberStart + 1);
        m_session.RoomRef = roundToInt32(NumericValue(number));
        m_session.RoomName = space == std::string::npos ? std::string() : line.substr(space + 1);
    }
    roomEntered(m_session.RoomRef, m_session.RoomName);
}

void LineClassifier::roomEntered(std::int32_t ref, const std::string& name) {
    m_session.RoomRef = ref;
    m_session.RoomName = name;
    m_window.setCaption(RoomCaption(m_session.WorldName, m_session.RoomName));
    if (m_hooks.roomChanged) {
        m_hooks.roomChanged();
    }
}

void LineClassifier::roomNamed(const std::string& name) {
    m_session.RoomName = name;
    m_window.setCaption(RoomCaption(m_session.WorldName, m_session.RoomName));
}

bool LineClassifier::ClassifyListLine(std::string& line) {
    if (line.empty()) {
        // The Diku family puts a blank line between its rows and its trailer.
        return !(m_session.ListMode == 2 && m_listStarted && m_session.Server == ServerKind::Mud);
    }
    if (FindNoCase(line, "no sleepers") != std::string::npos) {
        if (m_session.ListMode == 1) {
            presenceLineRead();
        }
        return false;
    }
    if (m_session.ListMode == 2) {
        return ClassifyWhoLine(line);
    }
    const bool listStarts =
        StartsWith(line, kReplyPrefix) || StartsWith(ToLowerAscii(line.substr(0, 3)), "who");
    const bool listEnds = !listStarts && StartsWith(line, kReplySuffix);
    if (listStarts) {
        listStart(line);
        return false;
    }
    if (listEnds) {
        listEnd(line);
        return false;
    }

    std::size_t phrase = PresencePhrases.size();
    for (std::size_t i = 0; i < PresencePhrases.size(); ++i) {
        if (FindNoCase(line, PresencePhrases[i]) != std::string::npos) {
            phrase = i;
            break;
        }
    }
    if (phrase == PresencePhrases.size()) {
        if (m_presenceSeen && !m_session.OutputFramed) {
            // Without frames the first line that is no part of the listing
            // ends it, and is itself ordinary text.
            endUnframedList();
            return ClassifyLine(line);
        }
        if (m_listLineCount < 5) {
            ++m_listLineCount;
        }
        if (m_listLineCount >= 5) {
            endCapture();
        }
        return true;
    }
    if (!m_listStarted) {
        // Without frames nothing announces the listing: it starts here.
        std::string none;
        listStart(none);
    }
    const std::size_t phraseLength = PresencePhrases[phrase].size();
    const PlayerKind kind = kPhraseKinds[phrase];
    if (phrase >= 4) {
        addPhraseNames(line, phraseLength, kind);
    } else if (phrase == 3) {
        if (line.size() > phraseLength + 1) {
            addPlayer(kind, line.substr(phraseLength + 1));
        }
    } else if (phrase == 1 || phrase == 2) {
        // "Only NAME is idle here.": the name starts at the sixth character.
        if (line.size() > 5) {
            const std::size_t space = line.find(' ', 5);
            const std::string name =
                line.substr(5, space == std::string::npos ? std::string::npos : space - 5);
            if (!name.empty()) {
                addPlayer(kind, name);
            }
        }
    }
    m_status.SetStatus(m_status.text() == "Status: " ? kGettingPlayerInfo : std::string("Status: "));
    presenceLineRead();
    return false;
}

bool LineClassifier::ClassifyWhoLine(std::string& line) {
    // The header and trailer stand for the reply's prefix and suffix; the
    // trailer is read before the "who" start, which it may begin with.
    const bool tableRow = line.front() == '|';
    const bool mud = m_session.Server == ServerKind::Mud;
    const std::string bracketName = mud ? bracketRowName(line) : std::string();
    const bool header = isWhoHeader(line) ||
                        (tableRow && FindNoCase(firstCell(line), "name") != std::string::npos) ||
                        (mud && isDikuWhoHeader(line));
    if (header || StartsWith(line, kReplyPrefix) ||
        (!isWhoTrailer(line) && StartsWith(ToLowerAscii(line.substr(0, 3)), "who"))) {
        listStart(line);
        whoLineTaken();
        return false;
    }
    if (isWhoTrailer(line) || StartsWith(line, kReplySuffix) ||
        (mud && m_listStarted && isDikuWhoTrailer(line))) {
        listEnd(line);
        return false;
    }
    if (isTableBorder(line)) {
        if (!m_listStarted) {
            listStart(line);
        }
        line.clear();
        whoLineTaken();
        return false;
    }
    std::string name;
    if (tableRow) {
        const std::string cell = firstCell(line);
        name = cell.substr(0, cell.find(' '));
    } else if (!bracketName.empty()) {
        name = bracketName;
    } else if (m_listStarted) {
        const std::size_t space = line.find(' ', line.front() == ' ' ? 1 : 0);
        if (space != std::string::npos && space > 0 && isColumnRow(line, space)) {
            name = line.substr(0, space);
        }
    }
    if (!name.empty() && (m_listStarted || tableRow || !bracketName.empty())) {
        if (!m_listStarted) {
            std::string none;
            listStart(none);
        }
        const std::size_t awake = m_players[index(PlayerKind::Awake)].size();
        m_status.SetStatus(kGettingPlayerInfo.substr(0, awake % 22 + 8));
        addPlayer(PlayerKind::Awake, name);
        whoLineTaken();
        return false;
    }
    if (m_listStarted) {
        // A line that is no part of the listing ends it, and is itself ordinary text.
        std::string none;
        stopQuietTimer();
        listEnd(none);
        return ClassifyLine(line);
    }
    // Nothing of the listing yet: the line is shown, and a world that
    // never answers does not hold the capture open for long.
    if (++m_listLineCount >= 10) {
        endCapture();
    }
    return true;
}

void LineClassifier::whoLineTaken() {
    if (m_timers == nullptr) {
        return;
    }
    stopQuietTimer();
    // Half a second of quiet after a listing's line means it is over.
    m_quietTimer = m_timers->startSingleShot(std::chrono::milliseconds(500), [this] {
        m_quietTimer.reset();
        if (m_session.ListMode == 2) {
            std::string none;
            listEnd(none);
        }
    });
}

void LineClassifier::stopQuietTimer() {
    if (m_quietTimer && m_timers != nullptr) {
        m_timers->stop(*m_quietTimer);
    }
    m_quietTimer.reset();
}

void LineClassifier::presenceLineRead() {
    m_presenceSeen = true;
    if (m_session.OutputFramed || m_timers == nullptr) {
        return;
    }
    // A listing arrives in one burst; half a second of quiet after its last
    // line means it is over, so the window need not wait for the next line.
    if (m_quietTimer) {
        m_timers->stop(*m_quietTimer);
    }
    m_quietTimer = m_timers->startSingleShot(std::chrono::milliseconds(500), [this] {
        m_quietTimer.reset();
        if (m_session.ListMode == 1 && m_presenceSeen && !m_session.OutputFramed) {
            endUnframedList();
        }
    });
}

void LineClassifier::endUnframedList() {
    if (m_quietTimer && m_timers != nullptr) {
        m_timers->stop(*m_quietTimer);
        m_quietTimer.reset();
    }
    m_presenceSeen = false;
    std::string none;
    listEnd(none);
}

void LineClassifier::addPhraseNames(const std::string& line, std::size_t phraseLength, PlayerKind kind) {
    std::size_t pos = phraseLength + 1;
    while (pos < line.size()) {
        const std::size_t space = line.find(' ', pos);
        const std::size_t end = space == std::string::npos ? line.size() : space;
        std::string piece = line.substr(pos, end - pos);
        const bool commaFollows = line.find(',', pos) != std::string::npos;
        pos = end + 1;
        if (piece.empty() || piece == "and") {
            continue;
        }
        if (!commaFollows || piece.back() == ',') {
            // The last name carries the closing full stop, the others their comma.
            piece.pop_back();
        }
        if (!piece.empty()) {
            addPlayer(kind, piece);
        }
    }
}

void LineClassifier::listStart(std::string& line) {
    line.clear();
    m_listLineCount = 0;
    m_presenceSeen = false;
    m_listStarted = true;
    for (auto& list : m_players) {
        list.clear();
    }
    if (m_playerList != nullptr) {
        m_playerList->clearLists();
    }
}

void LineClassifier::listEnd(std::string& line) {
    line.clear();
    stopQuietTimer();
    if (m_session.PendingReplies > 0) {
        --m_session.PendingReplies;
    }
    m_session.LagSeconds = 0;
    m_status.SetStatus(status::OnLine);
    PlayerListView* list = m_playerList;
    if (list != nullptr) {
        list->setCaption(m_session.WorldName + " Player List");
    }
    std::string summary;
    if (m_session.ListMode == 1) {
        std::size_t total = 0;
        for (const auto& names : m_players) {
            total += names.size();
        }
        const bool inRoom = !m_session.RoomName.empty();
        if (total == 0) {
            summary = "No one else is here" + (inRoom ? " in " + m_session.RoomName + "." : std::string("."));
        } else {
            summary =
                total == 1 ? "There is 1 other Player " : "There are " + std::to_string(total) + " Players ";
            summary += inRoom ? "in " + m_session.RoomName + ":" : std::string("here:");
        }
        if (list != nullptr) {
            for (PlayerKind kind :
                 {PlayerKind::Awake, PlayerKind::Asleep, PlayerKind::Idle, PlayerKind::Puppet}) {
                list->setListEnabled(kind, true);
                list->setListLabelColour(kind, colours::Black);
            }
        }
    } else {
        const std::size_t count = m_players[index(PlayerKind::Awake)].size();
        summary = count == 1
                      ? "There is only 1 player on " + m_session.WorldName + ":"
                      : "There are " + std::to_string(count) + " players on " + m_session.WorldName + ":";
        if (list != nullptr) {
            list->setListEnabled(PlayerKind::Awake, true);
            list->setListLabelColour(PlayerKind::Awake, colours::Black);
            for (PlayerKind kind : {PlayerKind::Asleep, PlayerKind::Idle, PlayerKind::Puppet}) {
                list->setListEnabled(kind, false);
                list->setListLabelColour(kind, colours::Grey);
            }
            if (!m_session.TagMode) {
                list->setPlayerButtonsEnabled(false);
            }
        }
    }
    m_lastSummary = summary;
    m_session.ListMode = 0;
    if (list != nullptr) {
        list->setSummary(summary);
        list->showWindow();
    }
}

void LineClassifier::endCapture() {
    if (m_session.PendingReplies > 0) {
        --m_session.PendingReplies;
    }
    m_session.LagSeconds = 0;
    m_session.ListMode = 0;
    m_status.SetStatus(status::OnLine);
}

void LineClassifier::addPlayer(PlayerKind kind, const std::string& name) {
    m_players[index(kind)].push_back(name);
    if (m_hooks.playerSeen) {
        m_hooks.playerSeen(name);
    }
    if (m_playerList != nullptr) {
        m_playerList->addPlayer(kind, name);
    }
}

} // namespace corvane
