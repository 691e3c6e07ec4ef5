#include "behaviour/logged_in_client.h"
#include "rules/rules_import.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using testing::LoggedInClient;

// A file whose bodies read variables or test conditions: its rules and
// script in a logged-in client, then a line typed or received, then what
// went to the world and what was shown. As tf and tt++ would do it.
TEST(ImportedLua, VariablesConditionsAndEchoesInBodiesBehaveAsInTheirClient) {
    struct Row {
        const char* name;
        std::string file;
        std::string typed;
        std::string received;
        std::string sent;
        std::string shown;
    };
    const std::vector<Row> rows = {
        {"tf %{var} in a trigger",
         "/set myname=Tester\n/def -t\"*pages: ping*\" pong = page %{myname}=pong\n", "",
         "Wren pages: ping\r\n", "page Tester=pong\r\n", ""},
        {"tf %{var} unset is empty", "/def -t\"*pages: ping*\" pong = page %{nobody}=pong\n", "",
         "Wren pages: ping\r\n", "page =pong\r\n", ""},
        {"tf /if true", "/def -mregexp -t\"HP: (\\\\d+)/(\\\\d+)\" hpcheck = /if ({P1} < 50) flee%;/endif\n",
         "", "HP: 20/100\r\n", "flee\r\n", ""},
        {"tf /if false", "/def -mregexp -t\"HP: (\\\\d+)/(\\\\d+)\" hpcheck = /if ({P1} < 50) flee%;/endif\n",
         "", "HP: 80/100\r\n", "", ""},
        {"tf /if /else with a variable",
         "/set limit=30\n/def -mregexp -t\"HP: (\\\\d+)\" hp = /if ({P1} < limit) flee%;/else kill%;/endif\n",
         "", "HP: 40\r\n", "kill\r\n", ""},
        {"tf /echo", "/def -mregexp -t\"^(\\\\w+) tells you '(.*)'$\" tellcap = /echo %P1: %P2\n", "",
         "Wren tells you 'hi'\r\n", "", "Wren: hi"},
        {"tf macro with a variable", "/set pet=rex\n/def feed = give %1 to %{pet}\n", "/feed bone", "",
         "give bone to rex\r\n", ""},
        {"tt++ $var in an alias", "#var {target} {Wren}\n#alias {tt} {page $target=%0}\n", "tt hello there",
         "", "page Wren=hello there\r\n", ""},
        {"tt++ ${var}", "#var {target} {Wren}\n#alias {tt} {page ${target}=hi}\n", "tt", "",
         "page Wren=hi\r\n", ""},
        {"tt++ #if true", "#action {HP: %d/%d} {#if {%1 < 50} {flee}}\n", "", "HP: 20/100\r\n", "flee\r\n",
         ""},
        {"tt++ #if false", "#action {HP: %d/%d} {#if {%1 < 50} {flee}}\n", "", "HP: 70/100\r\n", "", ""},
        {"tt++ #if with else", "#action {HP: %d} {#if {%1 < 50} {flee} {kill}}\n", "", "HP: 70\r\n",
         "kill\r\n", ""},
        {"tt++ #else", "#variable {hp} {100}\n#action {HP: %d} {#if {%1 < $hp} {flee};#else {kill}}\n", "",
         "HP: 170\r\n", "kill\r\n", ""},
        {"tt++ #showme", "#action {^%1 tells you '%2'} {#showme {%1: %2}}\n", "", "Wren tells you 'hi'\r\n",
         "", "Wren: hi"},
        {"tf /elseif",
         "/def -mregexp -t\"HP: (\\\\d+)\" hp = /if ({P1} < 20) flee%;/elseif ({P1} < 50) rest%;/else "
         "kill%;/endif\n",
         "", "HP: 30\r\n", "rest\r\n", ""},
        {"tf =~ compares text",
         "/def -mregexp -t\"^(\\\\w+) waves\" w = /if ({P1} =~ \"Wren\") wave%;/else nod%;/endif\n", "",
         "Bob waves\r\n", "nod\r\n", ""},
        {"tf & and !",
         "/set auto=1\n/def -mregexp -t\"HP: (\\\\d+)\" hp = /if (!({P1} > 50) & auto == 1) flee%;/endif\n",
         "", "HP: 30\r\n", "flee\r\n", ""},
        {"tf /set then read", "/def -mregexp -t\"HP: (\\\\d+)\" hp = /set hp=%P1%;/echo hp is %{hp}\n", "",
         "HP: 20\r\n", "", "hp is 20"},
        {"tf /let", "/def -mregexp -t\"HP: (\\\\d+)\" hp = /let h=%P1%;/echo local %{h}\n", "", "HP: 20\r\n",
         "", "local 20"},
        {"tf /test :=", "/set n=1\n/def -t\"*tick*\" t = /test n := n * 10 + 1%;/echo n=%{n}\n", "",
         "tick\r\n", "", "n=11"},
        {"tf %-1 with a variable", "/set pet=rex\n/def give2 = give %-1 to %{pet}\n", "/give2 x big bone", "",
         "give big bone to rex\r\n", ""},
        {"tf words of the line", "/def -t\"* says *\" e = say %2 / %-1 / %L / %-L\n", "",
         "Wren  says   hi  there\r\n", "say says / says   hi  there / there / Wren  says   hi\r\n", ""},
        {"tf %var without braces", "/set pet=rex\n/def -t\"*hungry*\" f = feed %pet\n", "",
         "rex is hungry\r\n", "feed rex\r\n", ""},
        {"tf a value alone is a number",
         "/set hp=12abc\n/def -t\"*x*\" a = /if (hp) yes%;/endif%;/if (!pet) none%;/endif\n", "", "x\r\n",
         "yes\r\nnone\r\n", ""},
        {"tf /while and /break",
         "/def -t\"*count*\" c = /let i=0%;/while (i < 9) /if (i = 3) /break%;/endif%;/echo i%{i}%;/test "
         "++i%;/done%;/echo end %{i}\n",
         "", "count\r\n", "", "end 3"},
        {"tf /echo -- ends its options", "/def a = /echo -- -x- %1%;/echo - -y-\n", "/a z", "", "",
         "-x- z\n-y-"},
        {"tf strlen()",
         "/def -mregexp -t\"^(\\\\w+) waves\" w = /if (strlen({P1}) > 3) wave%;/else nod%;/endif%;/echo "
         "$[strlen(\"ab\") + strlen({P1})]\n",
         "", "Bob waves\r\n", "nod\r\n", "5"},
        {"tt++ #loop up and down",
         "#var {from} {2}\n#alias {lp} {#loop {$from} {3} {i} {say $i};#loop {2} {1} {j} {#showme {j=$j}}}\n",
         "lp", "", "say 2\r\nsay 3\r\n", "j=2\nj=1"},
        {"tt++ #foreach", "#var {who} {Bob}\n#alias {hi} {#foreach {Wren;$who} {n} {wave $n}}\n", "hi", "",
         "wave Wren\r\nwave Bob\r\n", ""},
        {"tf /repeat with a variable", "/set spell=heal\n/repeat -1 1 cast %{spell}\n", "", "",
         "cast heal\r\n", ""},
        {"tf $[expression]",
         "/set hp=50\n/set maxhp=200\n/set who=Wren\n/def a = /echo A $[hp * 100 / maxhp]%% B $$5 C $[who] D "
         "$[hp > 10]\n",
         "/a", "", "", "A 25% B $5 C Wren D 1"},
        {"tt++ #line gag", "#action {^[%w] %2} {#line gag}\n", "", "[ooc] Wren: hi\r\nnext\r\n", "", "next"},
        {"tt++ #var in an action", "#action {HP: %d} {#var hp %1;#showme {hp now $hp}}\n", "", "HP: 20\r\n",
         "", "hp now 20"},
        {"tt++ #math", "#var {n} {7}\n#action {tick} {#math {n} {$n / 2 + 1};#showme {n=$n}}\n", "",
         "tick\r\n", "", "n=4"},
        {"tt++ quoted text", "#action {^%1 waves} {#if {\"%1\" == \"Wren\"} {wave} {nod}}\n", "",
         "Wren waves\r\n", "wave\r\n", ""},
        {"tt++ && and #elseif",
         "#action {HP: %d/%d} {#if {%1 > 90} {rest};#elseif {%1 < 50 && %2 > 0} {flee}}\n", "",
         "HP: 20/100\r\n", "flee\r\n", ""},
        {"tt++ a value as a truth", "#var {auto} {1}\n#action {rat} {#if {$auto} {kill rat}}\n", "",
         "a rat\r\n", "kill rat\r\n", ""},
        {"tt++ %1 is one word", "#var {t} {orc}\n#alias {k} {kill %1 $t}\n", "k big rat", "",
         "kill big orc\r\n", ""},
        {"tt++ words after an alias without %N", "#var {t} {orc}\n#alias {k} {kill $t}\n", "k now", "",
         "kill orc now\r\n", ""},
        {"tt++ text that is not a number",
         "#var {hp} {abc}\n#action {zz} {#if {$hp == 0} {zero} {nonzero};#math {x} {$hp + 1};#showme "
         "{x=$x}}\n",
         "", "zz\r\n", "nonzero\r\n", "x=0"},
    };
    LoggedInClient c;
    c.logIn();
    for (const Row& row : rows) {
        c.h->client.scripts().runLua("for k in pairs(vars) do vars[k] = nil end");
        const RulesImport imported = ImportRulesFile(row.file);
        std::string skipped;
        for (const std::string& why : imported.skipped) {
            skipped += why + "\n";
        }
        EXPECT_EQ(skipped, "") << row.name;
        c.h->client.rules().book().setRules(imported.rules);
        if (!imported.script.empty()) {
            c.h->client.scripts().runLua(imported.script);
        }
        c.h->socket.sent.clear();
        c.h->clearOutput();
        if (!row.typed.empty()) {
            c.h->type(row.typed);
        }
        if (!row.received.empty()) {
            c.h->socket.receive(row.received);
        }
        c.h->clock.advance(std::chrono::milliseconds(1100));
        EXPECT_EQ(c.h->socket.allSent(), row.sent) << row.name;
        EXPECT_NE(c.h->window.output.find(row.shown), std::string::npos)
            << row.name << ": " << c.h->window.output;
        EXPECT_EQ(c.h->window.output.find("Lua error"), std::string::npos)
            << row.name << ": " << c.h->window.output;
    }
}

// What would not behave as in the client is left out, saying why.
TEST(ImportedLua, WhatCannotBeTranslatedIsReportedNotGuessed) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"/def -t\"*x*\" a = /echo -aB logged\n", "echoes with options (-aB)"},
        {"/def -t\"*x*\" a = /if (x =/ \"y*\") z%;/endif\n", "compares with =/"},
        {"/def -t\"*x*\" a = /if (regmatch(\"a\", x)) z%;/endif\n", "calls the function regmatch()"},
        {"/def -t\"*x*\" a = /if (strlen(x, 2) > 2) z%;/endif\n", "calls strlen() with more than one value"},
        {"#action {x} {#loop {1} {3} {i}}\n", "has #loop without its {start} {finish} {variable} {commands}"},
        {"#action {x} {#foreach {{a}{b}} {i} {say $i}}\n", "has #foreach over a {braced} list"},
        {"#action {x} {#if {$a == Wren} {y}}\n", "reads the bare word Wren"},
        {"#action {x} {#if {\"$a\" == \"W%*\"} {y}}\n", "compares with a TinTin++ pattern"},
        {"#action {x} {#if {$a | 2} {y}}\n", "uses the bitwise |"},
        {"#action {x} {#showme {$hp[max]}}\n", "reads the nested variable $hp[...]"},
        {"/def a = say $(/ver)\n", "uses a command's output $(...)"},
        {"/def a = say ${other}\n", "uses a macro's body ${...}"},
        {"/def a = say $[regmatch(x)]\n", "uses $[regmatch(x)]"},
        {"#action {x} {say \x01os.exit()\x02 $hp}\n", "has control characters"},
        {"/def -mregexp -t\"x\" a = /if ({P1} < 5) z\n", "has /if without its /endif"},
        {"/def -t\"*x*\" a = /if ({P1} < 5) z%;/endif\n", "naming {P1}"},
        {"/def -t\"*x*\" a = /while (1) z\n", "has /while without its /done"},
        {"/def -t\"*x*\" a = /test x := 1.5\n", "counts with decimals"},
        {"/def -t\"*x*\" a = say %?\n", "uses %?"},
        {"#action {x} {#showme {<138>hi}}\n", "shows text in colours (<138>)"},
        {"#action {x} {#if {$hp < 5} {#bell}}\n", "runs the TinTin++ command #bell"},
        // Named whole: half a character would make the report no text at all.
        {"#action {x} {#if {\xC3\xBF\"%1\" == \"Wren\"} {y}}\n", "using \"\xC3\xBF\""},
        {"#action {x} {#if {$a\xE2\x80\x94\xE2\x80\x94\xE2\x80\x94} {y}}\n", "has \"\xE2\x80\x94\xE2\x80\x94\xE2\x80\x94\""},
    };
    for (const auto& [file, why] : rows) {
        const RulesImport imported = ImportRulesFile(file);
        EXPECT_TRUE(imported.rules.empty()) << file;
        ASSERT_EQ(imported.skipped.size(), 1u) << file;
        EXPECT_NE(imported.skipped[0].find(why), std::string::npos) << file << ": " << imported.skipped[0];
    }
}

} // namespace
} // namespace corvane
