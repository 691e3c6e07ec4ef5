// Memory for the twenty conversations of a page flood, through the real Qt
// windows: each one a tab of the Conversations window ("tabs"), or each in a
// window of its own ("windows"). Run it once per way, in its own process:
//   corvane_conversation_windows_bench tabs|windows [lines a conversation]
// It prints the resident memory the conversations add, in all and for each.
#include "conversations/conversation.h"
#include "conversations/conversation_tabs.h"
#include "qt/qt_main_window.h"
#include "qt/qt_view_factory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kConversations = 20;
const char* const kNames[kConversations] = {"Alice", "Bob",  "Carol", "Dmitri", "Esme",  "Farouk", "Gwen",
                                            "Hiro",  "Ines", "Jonas", "Kemal",  "Lena",  "Mateo",  "Nadia",
                                            "Oskar", "Pia",  "Quinn", "Rosa",   "Sanjay", "Tove"};

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

corvane::TextLine pageLine(const std::string& name, int n) {
    corvane::TextLine line;
    line.text = name + " pages: line " + std::to_string(n) +
                " of the flood, long enough to wrap once in a narrow window as real pages often do.";
    line.complete = true;
    return line;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool tabbed = argc < 2 || std::string(argv[1]) != "windows";
    const int lines = argc > 2 ? std::atoi(argv[2]) : 500;

    corvane::QtMainWindow main;
    main.resize(800, 600);
    main.show();
    settle(500);
    corvane::QtViewFactory factory;
    factory.setParentWindow(&main);
    corvane::ConversationTabs tabs([&factory] { return factory.createConversationTabsView(); });
    // One conversation made (and its window or tab shown) before the count
    // starts, so what every conversation shares (the tab window, fonts) is not counted.
    std::vector<std::unique_ptr<corvane::Conversation>> conversations;
    const auto open = [&](const std::string& name) {
        std::unique_ptr<corvane::ConversationView> page = factory.createConversationView();
        if (tabbed) {
            page = tabs.wrap(name, std::move(page));
        }
        conversations.push_back(std::make_unique<corvane::Conversation>(
            name, std::move(page), corvane::Conversation::Hooks{[](const std::string&) { return true; }, {}, {}}));
        for (int i = 0; i < lines; ++i) {
            conversations.back()->addLine(pageLine(name, i));
        }
    };
    open("Warmup");
    settle(1000);
    malloc_trim(0);
    const double before = residentMegabytes();
    for (const char* name : kNames) {
        open(name);
        settle(150);
    }
    settle(1000);
    malloc_trim(0);
    const double after = residentMegabytes();
    std::printf("%s, %d lines each: %.1f MB before, %.1f MB after, %.2f MB for %d conversations, %.3f MB each\n",
                tabbed ? "tabs" : "windows", lines, before, after, after - before, kConversations,
                (after - before) / kConversations);
    return 0;
}
