#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "shell/client.h"
#include "widgets/document_runs.h"
#include "widgets/qt_print.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <ostream>
#include <random>

namespace corvane::testing {
namespace {

// The real main window on a fake socket: the test hands the client the
// server's bytes in whatever pieces it likes, so the same flood can be drawn
// in one frame or a line at a time.
struct DrawnClient {
    DrawnClient() {
        window.setEvents(&client);
        window.resize(700, 420);
        window.show();
        QApplication::processEvents();
        client.start(false);
        views.addressBookScript = [](FakeAddressBookView& dialog) {
            dialog.setWorldName("Flood");
            dialog.setHost("127.0.0.1");
            dialog.setPort("4201");
            dialog.events->onOk();
        };
        client.FileConnect();
        socket.accept();
        client.session().TagMode = true;
        TriggerTable& triggers = client.triggers().ActiveTriggers;
        triggers[0] = TriggerDef{"dragon", "", false, "Serif", 14, true, false, 0x00FFFF};
        triggers[1] = TriggerDef{"wizard", "", false, "Sans", 9, false, true, 0xFF8000};
        client.triggers().prepare();
        client.lineProcessor().triggersChanged();
    }
    ~DrawnClient() { window.setEvents(nullptr); }
    DrawnClient(const DrawnClient&) = delete;
    DrawnClient& operator=(const DrawnClient&) = delete;

    QtOutputBox& box() const { return *window.outputBox(); }
    QString status() const { return window.findChild<QLabel*>("Label3_0")->text(); }

    QtMainWindow window;
    FakeSocket socket;
    FakePrompts prompts;
    FakeSound sound;
    FakeClock clock;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakeProgram program;
    FakeViewFactory views;
    FakeChoosers choosers;
    FakePictureReader pictures;
    Platform platform{socket, prompts, sound, clock, clock, launcher, clipboard, program, views, choosers, pictures};
    Client client{platform, MainViews{window, window, window, window, window, *window.outputBox(), window},
                  StartOptions{}};
};

// A flood of lines as a busy world sends them: ordinary text, colour codes
// (also 24-bit ones), trigger words, empty lines, and lines several rows long
// so trimming has to cut into a line. `colours` gives that many lines a
// colour of their own.
std::vector<std::string> floodLines(std::size_t count, std::size_t colours = 0) {
    static const char* const words[] = {"the",  "sleeps", "on",   "gold", "a",     "long",
                                        "road", "north",  "gate", "says", "hello", "\t"};
    std::mt19937 random(7);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        std::string line;
        const std::size_t length = i % 11 == 0 ? 320 : random() % 120;
        while (line.size() < length) {
            const auto pick = random() % 100;
            if (pick < 8) {
                line += "\x1b[1;3" + std::to_string(random() % 8) + "m";
            } else if (pick < 12) {
                line += "\x1b[0m";
            } else if (pick < 14) {
                line += "\x1b[38;2;" + std::to_string(random() % 256) + ";" + std::to_string(random() % 256) +
                        ";40m";
            }
            line += words[random() % std::size(words)];
            line += ' ';
        }
        if (i % 10 == 3) {
            line += "the dragon wakes";
        } else if (i % 10 == 7) {
            line += "a wizard";
        }
        if (i < colours) {
            line = "\x1b[38;2;" + std::to_string(i % 256) + ";" + std::to_string(i / 256 % 256) + ";" +
                   std::to_string(i / 65536) + "m" + line + "\x1b[0m";
        }
        lines.push_back(line + "\r\n");
    }
    return lines;
}

// What the box shows of one sent line: no colour codes, tabs as eight blanks.
QString shownText(const std::string& line) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\x1b') {
            i = line.find('m', i);
        } else if (line[i] == '\t') {
            text += "        ";
        } else if (line[i] != '\r' && line[i] != '\n') {
            text += line[i];
        }
    }
    return QString::fromStdString(text);
}

// True when the box's first line is the end of a sent line, not all of it.
bool firstLineIsCut(const QtOutputBox& box, const std::vector<std::string>& lines) {
    const QString first = box.document()->begin().text();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        const QString shown = shownText(line);
        return shown.size() > first.size() && shown.endsWith(first);
    });
}

// A block's runs with neighbours of the same format joined, as they look.
std::vector<TextRun> lookOf(const QTextBlock& block) {
    std::vector<TextRun> joined;
    for (TextRun& run : blockRuns(block)) {
        if (!joined.empty() && joined.back().format == run.format) {
            joined.back().text += run.text;
        } else {
            joined.push_back(std::move(run));
        }
    }
    return joined;
}

void expectSameDocument(const QTextDocument& drawn, const QTextDocument& expected) {
    ASSERT_EQ(drawn.blockCount(), expected.blockCount());
    QTextBlock a = drawn.begin();
    QTextBlock b = expected.begin();
    for (int n = 0; a.isValid() && b.isValid(); ++n, a = a.next(), b = b.next()) {
        ASSERT_EQ(a.text(), b.text()) << "line " << n;
        const std::vector<TextRun> left = lookOf(a);
        const std::vector<TextRun> right = lookOf(b);
        ASSERT_EQ(left.size(), right.size()) << "line " << n << ": " << a.text().toStdString();
        for (std::size_t i = 0; i < left.size(); ++i) {
            EXPECT_EQ(left[i].text, right[i].text) << "line " << n;
            EXPECT_TRUE(left[i].format == right[i].format)
                << "line " << n << " run " << left[i].text.toStdString();
        }
    }
}

void expectCaretAndViewAtTheEnd(const QtOutputBox& box) {
    EXPECT_EQ(box.textCursor().position(), box.document()->characterCount() - 1);
    EXPECT_EQ(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
}

enum class Delivery { OneRead, RandomPieces, HeldByThePause };

struct FrameRow {
    const char* name;
    Delivery delivery;
    std::size_t lines;
    std::size_t colouredLines;
};

std::ostream& operator<<(std::ostream& out, const FrameRow& row) {
    return out << row.name;
}

struct OutputFramesTable : ::testing::TestWithParam<FrameRow> {};

// However the flood reaches the box (one frame, pieces that split lines and
// colour codes, or everything at once when a pause ends) it must end up
// exactly as it looks when drawn a line at a time.
TEST_P(OutputFramesTable, LooksTheSameAsTheFloodDrawnLineByLine) {
    const FrameRow& row = GetParam();
    std::vector<std::string> lines = floodLines(row.lines + 200, row.colouredLines);

    // The flood ends where the box, drawn a line at a time, has trimmed its
    // first kept line part way: whole rows of a long line went.
    DrawnClient lineByLine;
    std::size_t fed = 0;
    for (; fed < lines.size() && (fed < row.lines || !firstLineIsCut(lineByLine.box(), lines)); ++fed) {
        lineByLine.socket.receive(lines[fed]);
    }
    ASSERT_LT(fed, lines.size()) << "no flood length left the first line cut";
    lines.resize(fed);
    std::string flood;
    for (const std::string& line : lines) {
        flood += line;
    }
    DrawnClient drawn;
    switch (row.delivery) {
    case Delivery::OneRead:
        drawn.socket.receive(flood);
        break;
    case Delivery::RandomPieces: {
        std::mt19937 random(3);
        for (std::size_t at = 0; at < flood.size();) {
            const std::size_t piece = 1 + random() % 700;
            drawn.socket.receive(std::string_view(flood).substr(at, piece));
            at += piece;
        }
        break;
    }
    case Delivery::HeldByThePause: {
        const QString before = drawn.box().toPlainText();
        drawn.client.onOutputFocusIn();
        EXPECT_EQ(drawn.status(), "Status: *** Output Paused ***");
        for (const std::string& line : lines) {
            drawn.socket.receive(line);
        }
        EXPECT_EQ(drawn.box().toPlainText(), before);
        drawn.client.onOutputFocusOut();
        EXPECT_EQ(drawn.status(), "Status: On Line");
        break;
    }
    }

    const QTextDocument& expected = *lineByLine.box().document();
    expectSameDocument(*drawn.box().document(), expected);
    expectCaretAndViewAtTheEnd(drawn.box());
    expectCaretAndViewAtTheEnd(lineByLine.box());

    EXPECT_LT(drawn.box().document()->allFormats().size(), 4096);
}

const FrameRow kFrameRows[] = {
    {"OneRead", Delivery::OneRead, 600, 0},
    {"PiecesThatSplitLinesAndColourCodes", Delivery::RandomPieces, 600, 0},
    {"EverythingHeldByThePause", Delivery::HeldByThePause, 600, 0},
    // A world that colours every line anew: the document would keep a format
    // for each colour for ever, so the box starts afresh now and then, which
    // must neither show nor let the formats pile up.
    {"ThousandsOfColoursInPieces", Delivery::RandomPieces, 8000, 8200},
};

INSTANTIATE_TEST_SUITE_P(Deliveries, OutputFramesTable, ::testing::ValuesIn(kFrameRows),
                         [](const ::testing::TestParamInfo<FrameRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace corvane::testing
