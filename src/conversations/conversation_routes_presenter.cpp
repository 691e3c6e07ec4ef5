#include "conversations/conversation_routes_presenter.h"

#include "platform/prompts.h"
#include "rules/pattern_matcher.h"
#include "settings/settings.h"

#include <array>

namespace corvane {

namespace {

using Kind = ConversationRouteFields::Kind;

struct BuiltInText {
    std::string_view key;
    std::string_view title;
    std::string_view example;
};

constexpr std::array<BuiltInText, 17> kBuiltIns = {{
    {"PagesReceived", "Pages received", "Alice pages: hello"},
    {"PagesReceivedQuoted", "Pages received, quoted", "Alice pages, \"hello\" to you."},
    {"MultiPages", "Pages to several", "Alice pages, \"hi\" to you, Bob."},
    {"PagePoses", "Page-poses", "In a page-pose to you, Alice waves."},
    {"PageLooks", "Page looks", "You sense that Alice is looking for you in Town Square."},
    {"PagesSent", "Pages sent", "You paged Alice with \"hello\"."},
    {"PagesSentQuoted", "Pages sent, quoted", "You page, \"hello\" to Alice."},
    {"WhispersReceived", "Whispers received", "Alice whispers, \"hello\""},
    {"WhispersSent", "Whispers sent", "You whisper, \"hello\" to Alice."},
    {"MushWhispersReceived", "Whispers received (MUSH worlds)", "Alice whispers: hello"},
    {"MushPagePoses", "Page-poses (MUSH worlds)", "From afar, Alice waves."},
    {"MushPagesSent", "Pages sent (MUSH worlds)", "You paged Alice with 'hello'."},
    {"MushPagePosesSent", "Page-poses sent (MUSH worlds)", "Long distance to Alice: Tester waves."},
    {"DikuTellsReceived", "Tells received (MUD worlds)", "Alice tells you, 'hello'"},
    {"DikuTellsSent", "Tells sent (MUD worlds)", "You tell Alice, 'hello'"},
    {"DikuWhispersReceived", "Whispers received (MUD worlds)", "Alice whispers to you, 'hello'"},
    {"DikuWhispersSent", "Whispers sent (MUD worlds)", "You whisper to Alice, 'hello'"},
}};

const BuiltInText* builtInText(const std::string& key) {
    for (const BuiltInText& text : kBuiltIns) {
        if (text.key == key) {
            return &text;
        }
    }
    return nullptr;
}

constexpr std::array<std::string_view, 3> kModes = {"plain", "words", "regex"};

int modeIndex(const std::string& mode) {
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        if (kModes[i] == mode) {
            return static_cast<int>(i);
        }
    }
    return 2;
}

std::string linesSuffix(RouteLines lines, bool opens) {
    std::string suffix = lines == RouteLines::Instead ? " - window only" : lines == RouteLines::Off ? " - off" : "";
    if (!opens && lines != RouteLines::Off) {
        suffix += " - waits in the list";
    }
    return suffix;
}

} // namespace

ConversationRoutesPresenter::ConversationRoutesPresenter(ConversationRoutesView& view, Services services)
    : m_view(view)
    , m_services(std::move(services)) {}

void ConversationRoutesPresenter::open() {
    if (!m_open) {
        m_draft = ReadConversationRoutesDraft(m_services.settingsPath);
        m_saved = m_draft;
        m_selected = 0;
        m_open = true;
    }
    refresh();
    m_view.showWindow();
}

void ConversationRoutesPresenter::openWith(ConversationRoutesDraft kept) {
    m_saved = ReadConversationRoutesDraft(m_services.settingsPath);
    m_draft = std::move(kept);
    m_selected = 0;
    m_open = true;
    refresh();
    m_view.showWindow();
}

std::optional<ConversationRoutesDraft> ConversationRoutesPresenter::unsaved() const {
    if (!m_open || !dirty()) {
        return std::nullopt;
    }
    return m_draft;
}

std::vector<ConversationRoutesPresenter::Row> ConversationRoutesPresenter::rows() const {
    std::vector<Row> rows;
    for (std::size_t i = 0; i < m_draft.builtIns.size(); ++i) {
        rows.push_back({Kind::BuiltIn, i});
    }
    for (std::size_t i = 0; i < m_draft.puppets.size(); ++i) {
        rows.push_back({Kind::Puppet, i});
    }
    for (std::size_t i = 0; i < m_draft.routes.size(); ++i) {
        rows.push_back({Kind::Route, i});
    }
    return rows;
}

std::string ConversationRoutesPresenter::problemOf(const Row& row) const {
    // Values past this length would read back cut short.
    const auto tooLong = [](const std::string& value) { return value.size() > kMaxSettingLength - 20; };
    if (row.kind == Kind::Puppet) {
        const ConversationRoutesDraft::Puppet& puppet = m_draft.puppets[row.index];
        if (puppet.name.empty()) {
            return "A puppet needs a name.";
        }
        if (puppet.linePrefix.empty()) {
            return "A puppet needs the words its lines start with.";
        }
        for (const std::string* field : {&puppet.name, &puppet.linePrefix, &puppet.sendPrefix}) {
            if (field->find('"') != std::string::npos) {
                return "A puppet's fields cannot hold double quotes.";
            }
        }
        if (tooLong(puppet.name + puppet.linePrefix + puppet.sendPrefix)) {
            return "Too long to keep: the three fields hold at most 230 characters together.";
        }
    } else if (row.kind == Kind::Route) {
        const ConversationRoutesDraft::Route& route = m_draft.routes[row.index];
        if (route.pattern.empty()) {
            return "A route needs a pattern.";
        }
        if (tooLong(route.pattern)) {
            return "Too long to keep: a pattern holds at most 230 characters.";
        }
        const PatternMatcher matcher(route.pattern,
                                     static_cast<MatchMode>(modeIndex(route.mode)), true);
        if (!matcher.valid()) {
            return "The pattern does not compile: " + matcher.error();
        }
        if (matcher.groupNumber("who") < 0) {
            return "The pattern needs a group named who to name the window, as in ^(?<who>\\S+) sends you a note:";
        }
    }
    return {};
}

bool ConversationRoutesPresenter::allValid() const {
    for (const Row& row : rows()) {
        if (!problemOf(row).empty()) {
            return false;
        }
    }
    return true;
}

void ConversationRoutesPresenter::refresh() {
    const std::vector<Row> all = rows();
    std::vector<std::string> texts;
    for (const Row& row : all) {
        std::string text;
        if (row.kind == Kind::BuiltIn) {
            const ConversationRoutesDraft::BuiltIn& builtIn = m_draft.builtIns[row.index];
            const BuiltInText* known = builtInText(builtIn.key);
            text = std::string(known ? known->title : std::string_view(builtIn.key)) +
                   linesSuffix(builtIn.lines, builtIn.opens);
        } else if (row.kind == Kind::Puppet) {
            const ConversationRoutesDraft::Puppet& puppet = m_draft.puppets[row.index];
            text = "Puppet " + (puppet.name.empty() ? std::string("(no name)") : puppet.name) + ": \"" +
                   puppet.linePrefix + "...\"" + linesSuffix(puppet.lines, puppet.opens);
        } else {
            const ConversationRoutesDraft::Route& route = m_draft.routes[row.index];
            text = std::string(route.whisper ? "Whisper route: " : "Page route: ") +
                   (route.pattern.empty() ? std::string("(no pattern)") : route.pattern) +
                   linesSuffix(route.lines, route.opens);
        }
        if (!problemOf(row).empty()) {
            text = "(!) " + text;
        }
        texts.push_back(std::move(text));
    }
    m_view.setRows(texts);
    m_selected = std::clamp(m_selected, 0, static_cast<int>(all.size()) - 1);
    m_view.selectRow(m_selected);

    const Row& row = all[static_cast<std::size_t>(m_selected)];
    ConversationRouteFields fields;
    fields.kind = row.kind;
    RouteLines lines = RouteLines::On;
    if (row.kind == Kind::BuiltIn) {
        const ConversationRoutesDraft::BuiltIn& builtIn = m_draft.builtIns[row.index];
        const BuiltInText* known = builtInText(builtIn.key);
        fields.example = known ? std::string(known->example) : std::string();
        lines = builtIn.lines;
        fields.opens = builtIn.opens;
    } else if (row.kind == Kind::Puppet) {
        const ConversationRoutesDraft::Puppet& puppet = m_draft.puppets[row.index];
        fields.example = puppet.linePrefix.empty() ? std::string("Lines that start with the puppet's words")
                                                   : puppet.linePrefix + "waves.";
        fields.name = puppet.name;
        fields.linePrefix = puppet.linePrefix;
        fields.sendPrefix = puppet.sendPrefix;
        lines = puppet.lines;
        fields.opens = puppet.opens;
    } else {
        const ConversationRoutesDraft::Route& route = m_draft.routes[row.index];
        fields.example = "Lines the pattern matches; its who group names the window";
        fields.whisper = route.whisper;
        fields.mode = modeIndex(route.mode);
        fields.pattern = route.pattern;
        lines = route.lines;
        fields.opens = route.opens;
    }
    fields.lines = static_cast<int>(lines);
    m_view.setFields(fields);
    m_view.setError(problemOf(row));

    const bool own = row.kind != Kind::BuiltIn;
    const std::size_t groupSize = row.kind == Kind::Puppet ? m_draft.puppets.size() : m_draft.routes.size();
    m_view.setButtonEnabled(ConversationRoutesView::Button::Delete, own);
    m_view.setButtonEnabled(ConversationRoutesView::Button::MoveUp, own && row.index > 0);
    m_view.setButtonEnabled(ConversationRoutesView::Button::MoveDown, own && row.index + 1 < groupSize);
    m_view.setButtonEnabled(ConversationRoutesView::Button::Save, dirty() && allValid());
}

void ConversationRoutesPresenter::select(Kind kind, std::size_t index) {
    const std::vector<Row> all = rows();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind == kind && all[i].index == index) {
            m_selected = static_cast<int>(i);
        }
    }
    refresh();
}

void ConversationRoutesPresenter::onRowSelected(int row) {
    if (row < 0 || row >= static_cast<int>(rows().size()) || row == m_selected) {
        return;
    }
    m_selected = row;
    refresh();
}

void ConversationRoutesPresenter::onFieldsEdited() {
    const Row row = rows()[static_cast<std::size_t>(m_selected)];
    const ConversationRouteFields fields = m_view.fields();
    const auto lines = static_cast<RouteLines>(std::clamp(fields.lines, 0, 2));
    if (row.kind == Kind::BuiltIn) {
        m_draft.builtIns[row.index].lines = lines;
        m_draft.builtIns[row.index].opens = fields.opens;
    } else if (row.kind == Kind::Puppet) {
        m_draft.puppets[row.index] = {fields.name, fields.linePrefix, fields.sendPrefix, lines, fields.opens};
    } else {
        ConversationRoutesDraft::Route& route = m_draft.routes[row.index];
        route.whisper = fields.whisper;
        route.mode = std::string(kModes[static_cast<std::size_t>(std::clamp(fields.mode, 0, 2))]);
        route.pattern = fields.pattern;
        route.lines = lines;
        route.opens = fields.opens;
    }
    refresh();
}

void ConversationRoutesPresenter::onAddPuppet() {
    m_draft.puppets.push_back({});
    select(Kind::Puppet, m_draft.puppets.size() - 1);
}

void ConversationRoutesPresenter::onAddRoute() {
    m_draft.routes.push_back({});
    select(Kind::Route, m_draft.routes.size() - 1);
}

void ConversationRoutesPresenter::onDelete() {
    const Row row = rows()[static_cast<std::size_t>(m_selected)];
    if (row.kind == Kind::Puppet) {
        m_draft.puppets.erase(m_draft.puppets.begin() + static_cast<std::ptrdiff_t>(row.index));
    } else if (row.kind == Kind::Route) {
        m_draft.routes.erase(m_draft.routes.begin() + static_cast<std::ptrdiff_t>(row.index));
    } else {
        return;
    }
    // The row below moves up into the place; at the end, the one above is selected.
    refresh();
}

void ConversationRoutesPresenter::move(int by) {
    const Row row = rows()[static_cast<std::size_t>(m_selected)];
    const auto swapIn = [&](auto& group) {
        const std::size_t other = row.index + static_cast<std::size_t>(by);
        if (other >= group.size()) {
            return false;
        }
        std::swap(group[row.index], group[other]);
        select(row.kind, other);
        return true;
    };
    if (row.kind == Kind::Puppet) {
        swapIn(m_draft.puppets);
    } else if (row.kind == Kind::Route) {
        swapIn(m_draft.routes);
    }
}

void ConversationRoutesPresenter::onMoveUp() {
    move(-1);
}

void ConversationRoutesPresenter::onMoveDown() {
    move(1);
}

bool ConversationRoutesPresenter::save() {
    if (!allValid()) {
        return false;
    }
    if (!WriteConversationRoutesDraft(m_draft, m_saved, m_services.settingsPath)) {
        // The settings layer has told the player why; the edits stay here.
        return false;
    }
    m_saved = m_draft;
    if (m_services.saved) {
        m_services.saved();
    }
    return true;
}

void ConversationRoutesPresenter::onSave() {
    save();
    refresh();
}

bool ConversationRoutesPresenter::onCloseAsked() {
    if (dirty()) {
        if (!allValid()) {
            if (m_services.prompts.ask("Some routes need fixing before they can be saved.\r\rClose without saving?",
                                       "Conversation Routes", PromptButtons::YesNo, PromptIcon::Question,
                                       PromptAnswer::No) != PromptAnswer::Yes) {
                return false;
            }
        } else {
            const PromptAnswer answer =
                m_services.prompts.ask("Save the changes to the conversation routes?", "Conversation Routes",
                                       PromptButtons::YesNoCancel, PromptIcon::Question, PromptAnswer::Yes);
            if (answer == PromptAnswer::Cancel || (answer == PromptAnswer::Yes && !save())) {
                refresh();
                return false;
            }
        }
    }
    m_open = false;
    return true;
}

} // namespace corvane
