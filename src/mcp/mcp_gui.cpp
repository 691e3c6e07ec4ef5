#include "mcp/mcp_gui.h"

#include "core/output_sink.h"
#include "mcp/mcp_link.h"
#include "platform/view_factory.h"

#include <algorithm>
#include <map>

namespace corvane {

namespace {

const std::map<std::string, McpDialogView::Control, std::less<>> kControls = {
    {"text", McpDialogView::Control::Text},           {"edit", McpDialogView::Control::Edit},
    {"multiedit", McpDialogView::Control::MultiEdit}, {"button", McpDialogView::Control::Button},
    {"checkbox", McpDialogView::Control::Checkbox},   {"frame", McpDialogView::Control::Frame},
};

std::string controlName(const std::string& message) {
    const std::string prefix = "ctrl-";
    return message.rfind(prefix, 0) == 0 ? message.substr(prefix.size()) : std::string();
}

} // namespace

// One dialog the world built, by its dlogid.
class McpGui::Dialog : private McpDialogEvents {
public:
    struct Control {
        std::string id;
        McpDialogView::Control kind;
        bool dismiss = false;
    };

    Dialog(std::string id, std::unique_ptr<McpDialogView> view, McpLink& link)
        : m_id(std::move(id))
        , m_view(std::move(view))
        , m_link(link) {
        m_view->setEvents(this);
    }
    ~Dialog() override { m_view->setEvents(nullptr); }

    const std::string& id() const { return m_id; }
    bool open() const { return m_open; }
    McpDialogView& view() { return *m_view; }
    std::size_t controls() const { return m_controls.size() + m_data.size(); }

    void add(Control control) { m_controls.push_back(std::move(control)); }
    void setDatum(const std::string& id, const std::string& value) { m_data[id] = value; }
    void setValue(const std::string& id, const std::string& value) {
        if (m_data.count(id) != 0) {
            m_data[id] = value;
        } else {
            m_view->setValue(id, value);
        }
    }
    void close() {
        m_open = false;
        m_view->closeWindow();
    }

    void onButton(const std::string& id) override {
        const auto button = std::find_if(m_controls.begin(), m_controls.end(),
                                         [&](const Control& c) { return c.id == id; });
        const bool dismiss = button != m_controls.end() && button->dismiss;
        event(id, dismiss);
    }
    void onCloseRequested() override { event("_closed", true); }

private:
    void event(const std::string& id, bool dismiss) {
        sendValues();
        McpMessage message;
        message.name = std::string(kPackage) + "-ctrl-event";
        message.add("dlogid", m_id).add("id", id).add("event", "buttonpress").add("dismissed", dismiss ? "1" : "0");
        m_link.send(message);
        if (dismiss) {
            close();
        }
    }
    void sendValues() {
        for (const Control& control : m_controls) {
            const bool field = control.kind == McpDialogView::Control::Edit ||
                               control.kind == McpDialogView::Control::MultiEdit ||
                               control.kind == McpDialogView::Control::Checkbox;
            if (field) {
                sendValue(control.id, m_view->value(control.id), control.kind == McpDialogView::Control::MultiEdit);
            }
        }
        for (const auto& [id, value] : m_data) {
            sendValue(id, value, false);
        }
    }
    void sendValue(const std::string& id, const std::string& value, bool multiline) {
        McpMessage message;
        message.name = std::string(kPackage) + "-ctrl-value";
        message.add("dlogid", m_id).add("id", id).add("value", value, multiline);
        m_link.send(message);
    }

    std::string m_id;
    std::unique_ptr<McpDialogView> m_view;
    McpLink& m_link;
    std::vector<Control> m_controls;
    std::map<std::string, std::string> m_data;
    bool m_open = true;
};

McpGui::McpGui(McpLink& link, ViewFactory& views, OutputSink& output)
    : m_link(link)
    , m_views(views)
    , m_output(output) {}

McpGui::~McpGui() = default;

McpGui::Dialog* McpGui::find(const std::string& id) {
    const auto found = std::find_if(m_dialogs.begin(), m_dialogs.end(),
                                    [&](const std::unique_ptr<Dialog>& d) { return d->open() && d->id() == id; });
    return found == m_dialogs.end() ? nullptr : found->get();
}

void McpGui::dropClosed() {
    m_dialogs.erase(std::remove_if(m_dialogs.begin(), m_dialogs.end(),
                                   [](const std::unique_ptr<Dialog>& d) { return !d->open(); }),
                    m_dialogs.end());
}

void McpGui::handle(const McpReceived& received) {
    const McpMessage& body = received.body;
    const std::string& dialogId = body.value("dlogid");
    if (received.message == "dlog-create") {
        dropClosed();
        if (dialogId.empty() || find(dialogId) != nullptr || m_dialogs.size() >= kMaxDialogs) {
            return;
        }
        std::unique_ptr<McpDialogView> view = m_views.createMcpDialogView();
        if (!view) {
            return;
        }
        view->setTitle(body.value("title"));
        m_dialogs.push_back(std::make_unique<Dialog>(dialogId, std::move(view), m_link));
        return;
    }
    Dialog* dialog = find(dialogId);
    if (dialog == nullptr) {
        return;
    }
    if (received.message == "dlog-show") {
        dialog->view().showWindow();
    } else if (received.message == "dlog-close") {
        dialog->close();
    } else if (received.message == "ctrl-value") {
        dialog->setValue(body.value("id"), body.value("value"));
    } else if (const std::string type = controlName(received.message); !type.empty() && type != "command") {
        if (dialog->controls() >= kMaxControls) {
            return;
        }
        const std::string& id = body.value("id");
        if (type == "datum") {
            dialog->setDatum(id, body.value("value"));
            return;
        }
        const auto kind = kControls.find(type);
        if (kind == kControls.end()) {
            m_output.ShowOutput("*** This world asked for a window control Corvane does not have: " + type + "\r\n");
            return;
        }
        dialog->view().addControl(kind->second, id, body.value("pane"), body.value("text"), body.value("value"));
        dialog->add(Dialog::Control{id, kind->second, body.value("dismiss") == "1"});
    }
}

} // namespace corvane
