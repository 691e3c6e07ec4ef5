; MUD setup with state: targets, toggles, counters and a status check
/set target=rat
/set autoheal=1
/set kills=0
/set wimpy=40
/def t = /set target=%1%;/echo Target is now %{target}
/def kt = kill %{target}
/def bt = backstab %target
/def ah = /if (autoheal) /set autoheal=0%;/echo Autoheal off%;/else /set autoheal=1%;/echo Autoheal on%;/endif
/def -mregexp -t"^HP: (\d+)/(\d+) " hpwatch = /if (autoheal & {P1} * 100 / {P2} < wimpy) quaff heal%;/endif
/def -mregexp -t"^(\w+) is DEAD!$" killcount = /test kills := kills + 1%;/echo Kills this session: %{kills}
/def -t"*You receive * experience*" xp = /test ++kills
/def -mregexp -t"^(\w+) tells you '(.*)'$" tellsave = /set lasttell=%P1%;/echo [tell] %P1: %P2
/def r = tell %{lasttell} %*
/def -t"* arrives from the *" arrive = /if (%1 =~ target) kill %1%;/endif
/def -t"*You are stunned*" stun = /set stunned=1
/def -t"*You can move again*" unstun = /set stunned=0
/def go = /if (stunned) /echo Still stunned!%;/else %*%;/endif
/def loot = /let n=0%;/while (n < 3) get all corpse%;/test ++n%;/done
/def -mregexp -t"^You have (\d+) gold" goldcheck = /if ({P1} > 1000) /echo Time to bank%;/endif
/def -mregexp -t"Your (\w+) breaks" broken = /set broken=%P1%;/echo Broken: %P1
/def -h"CONNECT" onconnect = /set kills=0%;look
/def -h"DISCONNECT" ondisc = /echo Lost the link
/repeat -0:05:00 i /if (autoheal) score%;/endif
/def -mregexp -t"^(\w+) waves" wavecheck = /if (regmatch("^[A-Z]", {P1})) wave %P1%;/endif
/def stat = /echo HP $[hp * 100 / maxhp]%%
/def -E(autoheal) -t"*You are bleeding*" bleed = bandage
/def spam = /for i 1 5 say %i
/def -t"*You feel hungry*" food = /quote -0 !cat food.txt
/def -mregexp -t"^Level: (\d+)" lvl = /set level=%P1%;/if (strlen({P1}) > 1) /echo Double digits%;/endif
