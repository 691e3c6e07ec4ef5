#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "fakes/telnet_bytes.h"
#include "settings/settings.h"
#include "wire/mxp_colours.h"
#include "wire/mxp_parser.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace corvane::testing {
namespace {

// Writes what the parser gives out as text with its looks in braces:
// "{b}bold{} plain {send look|Look here}link{}". A "\n" is a <BR> or a line end.
struct MxpTranscript : MxpParser::Sink {
    explicit MxpTranscript(MxpParser& parser, MxpLinks& links) : m_parser(parser), m_links(links) {}

    void mxpText(char32_t character) override {
        flushLook();
        if (character < 0x80) {
            m_text.push_back(static_cast<char>(character));
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "[U+%04X]", static_cast<unsigned>(character));
            m_text += code;
        }
    }
    void mxpLookChanged() override { m_lookPending = true; }
    void mxpLineBreak() override { m_text += "<BR>"; }

    // Feeds ASCII text; "\x1b[<n>z" sets a line mode and "\n" ends a line.
    void feed(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\x1b') {
                const std::size_t end = text.find('z', i);
                m_parser.setLineMode(std::stoi(std::string(text.substr(i + 2, end - i - 2))), *this);
                i = end;
            } else if (text[i] == '\n') {
                m_parser.lineEnded(*this);
                flushLook();
                m_text += "\n";
            } else {
                m_parser.feed(static_cast<unsigned char>(text[i]), *this);
            }
        }
    }

    std::string text() {
        flushLook();
        return m_text;
    }

private:
    void flushLook() {
        if (!m_lookPending) {
            return;
        }
        m_lookPending = false;
        const MxpLook& look = m_parser.look();
        if (look == m_shown) {
            return;
        }
        closeShown();
        m_shown = look;
        if (look == MxpLook{}) {
            return;
        }
        std::string mark;
        const auto add = [&mark](const std::string& part) { mark += (mark.empty() ? "" : ",") + part; };
        if (look.bold) {
            add("b");
        }
        if (look.italic) {
            add("i");
        }
        if (look.underline) {
            add("u");
        }
        char colour[16];
        if (look.foreground) {
            std::snprintf(colour, sizeof colour, "%06X", *look.foreground);
            add(std::string("fg ") + colour);
        }
        if (look.background) {
            std::snprintf(colour, sizeof colour, "%06X", *look.background);
            add(std::string("bg ") + colour);
        }
        if (look.link != 0) {
            // Filled in once the link is whole: its commands are known at its end.
            m_linkMarks.emplace_back(m_text.size() + mark.size() + (mark.empty() ? 1 : 2), look.link);
            add("");
        }
        m_text += "{" + mark + "}";
    }
    void closeShown() {
        if (!(m_shown == MxpLook{})) {
            m_text += "{}";
        }
    }

public:
    // The links' words go where their marks are, newest first so positions hold.
    std::string withLinks() {
        std::string out = text();
        for (auto it = m_linkMarks.rbegin(); it != m_linkMarks.rend(); ++it) {
            const MxpLink* link = m_links.find(it->second);
            std::string words;
            if (link == nullptr) {
                words = "gone";
            } else if (link->kind == MxpLink::Kind::Web) {
                words = "web " + link->address;
            } else {
                words = link->prompt ? "prompt" : "send";
                for (std::size_t i = 0; i < link->commands.size(); ++i) {
                    words += (i == 0 ? " " : "|") + link->commands[i];
                    if (link->captions[i] != link->commands[i]) {
                        words += "=" + link->captions[i];
                    }
                }
            }
            if (link != nullptr && !link->hint.empty()) {
                words += " hint " + link->hint;
            }
            out.insert(it->first, words);
        }
        return out;
    }

private:
    MxpParser& m_parser;
    MxpLinks& m_links;
    std::string m_text;
    bool m_lookPending = false;
    MxpLook m_shown;
    std::vector<std::pair<std::size_t, std::uint32_t>> m_linkMarks;
};

struct MxpCase {
    std::string name;
    std::string input;
    std::string shown;
};

void PrintTo(const MxpCase& row, std::ostream* out) {
    *out << row.name;
}

class MxpParserTest : public ::testing::TestWithParam<MxpCase> {};

TEST_P(MxpParserTest, ShowsTextWithLooksAndLinks) {
    MxpLinks links;
    MxpParser parser(links);
    MxpTranscript transcript(parser, links);
    transcript.feed(GetParam().input);
    EXPECT_EQ(transcript.withLinks(), GetParam().shown);
}

const std::string kSecure = "\x1b[1z";
const std::string kTempSecure = "\x1b[4z";

INSTANTIATE_TEST_SUITE_P(
    Mxp, MxpParserTest,
    ::testing::Values(
        MxpCase{"PlainTextPassesAsItIs", "Hello, world.\n", "Hello, world.\n"},
        MxpCase{"LooksInOpenMode", "a <b>bold</b> <I>it</I> <u>under</u>\n", "a {b}bold{} {i}it{} {u}under{}\n"},
        MxpCase{"LookNamesHaveTheirLongForms", "<bold><italic><underline>x</underline></italic></bold> "
                                               "<strong>s</strong><em>e</em>\n",
                "{b,i,u}x{} {b}s{}{i}e{}\n"},
        MxpCase{"LooksNest", "<b>1<i>2</i>3</b>\n", "{b}1{}{b,i}2{}{b}3{}\n"},
        MxpCase{"ColourByNameHexOrPosition",
                "<color fore=red>r</color><COLOR #00ff80>g</COLOR><c red blue>rb</c><color back=Navy>n</color>\n",
                "{fg FF0000}r{}{fg 00FF80}g{}{fg FF0000,bg 0000FF}rb{}{bg 000080}n{}\n"},
        MxpCase{"AColourNamingNothingKeepsTheText", "<color fore=notacolour>x</color>\n", "x\n"},
        MxpCase{"ClosingAnOuterTagClosesTheInnerOnes", "<b><i>x</b>y\n", "{b,i}x{}y\n"},
        MxpCase{"EveryTagClosesAtTheLineEnd", "<b>one\ntwo\n", "{b}one{}\ntwo\n"},
        MxpCase{"StandardEntitiesAreCharacters", "&lt;tag&gt; &amp; &quot;q&quot; &apos;&#65;&#x42;&nbsp;\n",
                "<tag> & \"q\" 'AB[U+00A0]\n"},
        MxpCase{"OtherEntitiesStayText", "&foo; &#1; &#xD800; AT&T; fish & chips &\n",
                "&foo; &#1; &#xD800; AT&T; fish & chips &\n"},
        MxpCase{"ALoneAngleBracketIsText", "a < b, <3, <<b>x</b>\n", "a < b, <3, <{b}x{}\n"},
        MxpCase{"SecureTagsInOpenModeAreText", "<send>north</send> <a href=\"http://x.org\">x</a> <br> <foo>\n",
                "<send>north</send> <a href=\"http://x.org\">x</a> <br> <foo>\n"},
        MxpCase{"OpenTagsOutsideTheSubsetAreDropped", "<s>s</s><h>h</h><font color=red>f</font>\n", "shf\n"},
        MxpCase{"ASendLinkSendsItsText", kSecure + "Exits: <send>north</send> and <SEND>east</SEND>.\n",
                "Exits: {send north}north{} and {send east}east{}.\n"},
        MxpCase{"ASendLinkWithHrefAndHint", kSecure + "<send href=\"get sword\" hint=\"Pick it up\">a sword</send>\n",
                "{send get sword hint Pick it up}a sword{}\n"},
        MxpCase{"HrefTextIsFilledIn", kSecure + "<send \"look &text;\">stone</send>\n", "{send look stone}stone{}\n"},
        MxpCase{"SeveralCommandsMakeAMenu",
                kSecure + "<send href=\"look sword|get sword|drop sword\" hint=\"Sword|Look|Take|Drop\">sword</send>\n",
                "{send look sword=Look|get sword=Take|drop sword=Drop hint Sword}sword{}\n"},
        MxpCase{"AMenuWithoutCaptionsShowsItsCommands", kSecure + "<send href=\"n|s\">go</send>\n", "{send n|s}go{}\n"},
        MxpCase{"APromptLinkIsMarked", kSecure + "<send href=\"say \" prompt>talk</send>\n",
                "{prompt say }talk{}\n"},
        // A link opened in secure mode may be closed in any mode but locked.
        MxpCase{"TempSecureAllowsTheNextTagOnly",
                kTempSecure + "<send href=\"look\">Look</send> <send>no</send>\n",
                "{send look}Look{} <send>no</send>\n"},
        MxpCase{"TempSecureBeforeEachTagAsEvenniaSendsIt",
                "go " + kTempSecure + "<SEND HREF=\"north\">north" + kTempSecure + "</SEND> now\n",
                "go {send north}north{} now\n"},
        MxpCase{"TempSecureEndsAtText", kTempSecure + "x<send>y</send>\n", "x<send>y</send>\n"},
        MxpCase{"SecureLineModeEndsWithTheLine", kSecure + "<br>\n<br>\n", "<BR>\n<br>\n"},
        MxpCase{"LockedLineShowsEverything", "\x1b[2z<b>&lt;</b>\n<b>x</b>\n", "<b>&lt;</b>\n{b}x{}\n"},
        MxpCase{"LockSecureLastsOverLines", "\x1b[6z<br>\n<br>\n\x1b[5z<br>\n", "<BR>\n<BR>\n<br>\n"},
        MxpCase{"ResetClosesEveryTag", "<b>x\x1b[3zy\n", "{b}x{}y\n"},
        MxpCase{"AWebLinkOpensOnlyWebAddresses",
                kSecure + "<a href=\"https://example.org/x\">site</a> <a href=\"file:///etc/passwd\">f</a>\n",
                "{web https://example.org/x}site{} f\n"},
        MxpCase{"UnknownTagsInSecureModeAreDropped",
                kSecure + "<!ELEMENT RName '<FONT COLOR=Red>' FLAG=\"RoomName\"><image fname=x.gif><RName>Hall</RName>\n",
                "Hall\n"},
        MxpCase{"AnUnclosedTagAtTheLineEndIsText", "<b>x <color fore=red\n", "{b}x <color fore=red{}\n"},
        MxpCase{"AQuotedAngleBracketStaysInTheTag", kSecure + "<send href=\"say a>b\">x</send>\n",
                "{send say a>b}x{}\n"},
        MxpCase{"EntitiesInAttributesAreRead", kSecure + "<send href=\"say &lt;hi&gt;\">x</send>\n",
                "{send say <hi>}x{}\n"},
        MxpCase{"ALinkInsideALinkIsNoLink", kSecure + "<send>a<send>b</send>c</send>\n", "{send abc}abc{}\n"},
        MxpCase{"BrKeepsTheLooks", kSecure + "<b>one<br>two</b>\n", "{b}one<BR>two{}\n"}),
    [](const ::testing::TestParamInfo<MxpCase>& row) { return row.param.name; });

TEST(MxpParserBounds, DeepNestingUnclosedTagsAndManyLinksStayBounded) {
    MxpLinks links;
    MxpParser parser(links);
    MxpTranscript transcript(parser, links);
    std::string deep;
    for (int i = 0; i < 1000; ++i) {
        deep += "<b><i>";
    }
    transcript.feed(deep + "x\n");
    std::string many = kSecure;
    for (int i = 0; i < 10000; ++i) {
        many += "<send>n</send>";
    }
    transcript.feed(many + "\n");
    transcript.feed("<" + std::string(5000, 'b') + "\n");
    const std::string text = transcript.text();
    EXPECT_EQ(text.substr(0, 10), "{b,i}x{}\n{") << "a thousand levels show as the first few do";
    EXPECT_EQ(links.size(), MxpParser::kMaxLinksPerLine) << "links past the line's share are text only";
    EXPECT_NE(text.find("n{}nnnn"), std::string::npos);
    EXPECT_NE(text.find("<bbbb"), std::string::npos) << "a tag past its length is text";
}

TEST(MxpLinkStore, KeepsTheNewestAndNeverReusesANumber) {
    MxpLinks links;
    std::uint32_t last = 0;
    for (std::size_t i = 0; i < MxpLinks::kKept + 5; ++i) {
        MxpLink link;
        link.commands = {"c" + std::to_string(i)};
        last = links.add(link);
    }
    EXPECT_EQ(links.size(), MxpLinks::kKept);
    EXPECT_EQ(links.find(1), nullptr);
    ASSERT_NE(links.find(last), nullptr);
    EXPECT_EQ(links.find(last)->commands[0], "c" + std::to_string(MxpLinks::kKept + 4));
    links.clear();
    EXPECT_EQ(links.find(last), nullptr);
    EXPECT_EQ(links.add({}), last + 1);
}

TEST(MxpColours, NamesAndNumbers) {
    EXPECT_EQ(MxpColour("Red"), 0xFF0000u);
    EXPECT_EQ(MxpColour("yellowgreen"), 0x9ACD32u);
    EXPECT_EQ(MxpColour("aliceblue"), 0xF0F8FFu);
    EXPECT_EQ(MxpColour("#A0b1C2"), 0xA0B1C2u);
    EXPECT_EQ(MxpColour("#12345"), std::nullopt);
    EXPECT_EQ(MxpColour("#12345G"), std::nullopt);
    EXPECT_EQ(MxpColour("reddish"), std::nullopt);
}

const std::string kMxpWorlds = "[Addresses]\r\n"
                               "MUD 1=Plain,plain.example,4000\r\n"
                               "MUD 2=Marked,marked.example,4000\r\n"
                               "[Plain]\r\n"
                               "Server=MUD\r\n"
                               "[Marked]\r\n"
                               "Server=MUD\r\n"
                               "MXP=True\r\n";
const std::string kWillMxp = IAC + WILL + "\x5B";

// The address book's box and the connection on a real settings file.
struct MxpWorldTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    std::unique_ptr<ClientHarness> h;

    void SetUp() override {
        folder.write("CORVANE.INI", kMxpWorlds);
        h = std::make_unique<ClientHarness>(std::string(), path);
    }
    void connectWith(std::function<void(FakeAddressBookView&)> script) {
        h->views.addressBookScript = std::move(script);
        h->client.FileConnect();
        h->views.addressBookScript = nullptr;
        h->socket.accept();
        h->socket.sent.clear();
    }
    void connectTo(int world) {
        connectWith([world](FakeAddressBookView& d) {
            d.pick(world);
            d.clickOk();
        });
    }
};

TEST_F(MxpWorldTest, WithTheBoxOffMxpIsRefusedAndItsMarkupIsText) {
    connectTo(0);
    const std::string line = kTempSecure + "<SEND HREF=\"north\">north" + kTempSecure + "</SEND> &lt;x&gt;\r\n";
    h->socket.receive(kWillMxp + line);
    EXPECT_EQ(h->socket.allSent(), IAC + DONT + "\x5B");
    EXPECT_NE(h->window.output.find("<SEND HREF=\"north\">north</SEND> &lt;x&gt;\n"), std::string::npos)
        << h->window.output;
    EXPECT_FALSE(h->client.lineProcessor().mxpOn());
}

TEST_F(MxpWorldTest, WithTheBoxOnLinksAndLooksBecomeSpans) {
    connectTo(1);
    h->socket.receive(kWillMxp);
    EXPECT_EQ(h->socket.allSent(), IAC + DO + "\x5B");
    ASSERT_TRUE(h->client.lineProcessor().mxpOn());
    h->socket.receive("Exits: " + kTempSecure + "<SEND HREF=\"north\">north" + kTempSecure +
                      "</SEND> \x1b[31m<b>red bold</b>\x1b[0m &lt;x&gt;\r\n");
    EXPECT_NE(h->window.output.find("Exits: north red bold <x>\n"), std::string::npos) << h->window.output;
    ASSERT_EQ(h->window.appendedSpans.size(), 2u);
    const auto& [linkText, link] = h->window.appendedSpans[0];
    EXPECT_EQ(linkText, "north");
    const MxpLink* target = h->client.lineProcessor().mxpLinks().find(link.style.link);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->commands, std::vector<std::string>{"north"});
    const auto& [boldText, bold] = h->window.appendedSpans[1];
    EXPECT_EQ(boldText, "red bold");
    EXPECT_TRUE(bold.style.bold);
    EXPECT_TRUE(bold.style.foreground.has_value()) << "the ANSI colour stays under MXP's bold";
    EXPECT_EQ(bold.style.link, 0u);
}

// The links a line made, in the order shown.
std::vector<std::uint32_t> shownLinks(const ClientHarness& harness) {
    std::vector<std::uint32_t> links;
    for (const auto& [text, span] : harness.window.appendedSpans) {
        if (span.style.link != 0) {
            links.push_back(span.style.link);
        }
    }
    return links;
}

TEST_F(MxpWorldTest, ClickingLinksSendsTheirCommandsAsTypedOrAsks) {
    connectTo(1);
    h->socket.receive(kWillMxp + kSecure + "<send>north</send> <send href=\"get &text;|drop &text;\" "
                                           "hint=\"Sword|Take it|Drop it\">sword</send> "
                                           "<send href=\"say \" prompt>talk</send> <a href=\"https://example.org/\">web</a> "
                                           "<send>gone</send>\r\n");
    const std::vector<std::uint32_t> links = shownLinks(*h);
    ASSERT_EQ(links.size(), 5u) << h->window.output;
    // The pointer over each shows the world's hint, else where it goes.
    const std::string tips[] = {"north", "Sword", "say ", "https://example.org/", "gone"};
    for (std::size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(h->client.lineProcessor().mxpLinks().find(links[i])->toolTip(), tips[i]) << i;
    }
    h->socket.sent.clear();
    h->window.input = "half typed";
    h->client.onOutputFocusIn();
    EXPECT_TRUE(h->client.session().OutputPaused);

    h->client.onOutputLinkClicked(links[0]);
    EXPECT_EQ(h->socket.allSent(), "north\r\n");
    EXPECT_EQ(h->window.input, "half typed") << "what the player typed stays";
    EXPECT_FALSE(h->client.session().OutputPaused) << "the click that paused the output is over";

    h->socket.sent.clear();
    h->window.menuChoice = 1;
    h->client.onOutputLinkClicked(links[1]);
    ASSERT_EQ(h->window.menuCaptions.size(), 1u);
    EXPECT_EQ(h->window.menuCaptions[0], (std::vector<std::string>{"Take it", "Drop it"}));
    EXPECT_EQ(h->socket.allSent(), "drop sword\r\n");
    h->socket.sent.clear();
    h->window.menuChoice = -1;
    h->client.onOutputLinkClicked(links[1]);
    EXPECT_EQ(h->socket.allSent(), "") << "a menu closed without a pick sends nothing";

    h->client.onOutputLinkClicked(links[2]);
    EXPECT_EQ(h->window.input, "half typedsay ");
    EXPECT_EQ(h->socket.allSent(), "");

    h->prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    h->launcher.browserAnswer = BrowserAnswer::Opened;
    h->client.onOutputLinkClicked(links[3]);
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_NE(h->prompts.questions[0].text.find("https://example.org/"), std::string::npos)
        << "the address is shown before anything opens";
    EXPECT_TRUE(h->launcher.requests.empty());
    h->client.onOutputLinkClicked(links[3]);
    ASSERT_EQ(h->launcher.requests.size(), 1u);
    EXPECT_EQ(h->launcher.requests[0].address, "https://example.org/");

    // A new connection: the old lines' links do nothing.
    h->client.lineProcessor().reset();
    h->client.onOutputLinkClicked(links[4]);
    EXPECT_EQ(h->socket.allSent(), "");
}

TEST_F(MxpWorldTest, NewMudWorldsTickTheBoxAndTheWorldKeepsIt) {
    connectWith([](FakeAddressBookView& d) {
        EXPECT_FALSE(d.mxpTicked) << "Plain was stored before the box";
        d.pick(1);
        EXPECT_TRUE(d.mxpTicked);
        d.clickNew();
        EXPECT_FALSE(d.mxpTicked);
        d.chooseServer(ServerKind::Mud);
        EXPECT_TRUE(d.mxpTicked) << "on for a new MUD";
        d.chooseServer(ServerKind::Muck);
        EXPECT_FALSE(d.mxpTicked);
        d.clickMxp();
        d.chooseServer(ServerKind::Mush);
        EXPECT_TRUE(d.mxpTicked) << "the player's own choice stays";
        d.clickNew();
        d.newName = "Fresh";
        d.hostText = "fresh.example";
        d.chooseServer(ServerKind::Mud);
        d.clickOk();
    });
    EXPECT_EQ(ReadSetting("Fresh", "MXP", path), "True");
    EXPECT_EQ(ReadSetting("Plain", "MXP", path), "");
    h->socket.receive(kWillMxp);
    EXPECT_EQ(h->socket.allSent(), IAC + DO + "\x5B");
}

TEST_F(MxpWorldTest, ClearingTheBoxRemovesTheKey) {
    connectWith([](FakeAddressBookView& d) {
        d.pick(1);
        d.clickMxp();
        d.clickOk();
    });
    EXPECT_EQ(ReadSetting("Marked", "MXP", path), "");
    h->socket.receive(kWillMxp);
    EXPECT_EQ(h->socket.allSent(), IAC + DONT + "\x5B");
}

} // namespace
} // namespace corvane::testing
