; Diku MUD setup
/def -mregexp -t"^You are hungry\\.$" hungry = eat bread
/def -mregexp -t"^You are thirsty\\.$" thirsty = drink water
/def -t"*is DEAD!*" looted = get all corpse
/def -t"*R.I.P.*" gold = get gold corpse%;split
/def k = kill %*
/def ka = kill %1%;assist
/def cs = cast '%1' %-1
/def bs = backstab %1
/def -aCred -t"*massacres you*" hurt
/def -aCgreen -t"*You feel better*" better
/def -aBCyellow -t"*OUT OF MANA*" oom
/def -F -ag -t"*The gods smile*" nospam
/gag *is here, fighting*
/def -mregexp -t"^(\\w+) tells you '(.*)'$" tellcap = /echo %P1: %P2
/def -mregexp -t"HP: (\\d+)/(\\d+)" hpcheck = /if ({P1} < 50) flee%;/endif
/def -p10 -t"*You flee head over heels*" fled = recall
/def bag = put all.%1 bag
/def gb = get %1 bag
/def ws = wear all%;wield sword
/def -aCrgb520 -t"*rare*" rarehi
/def -aCgray12 -t"*whisper of wind*" windhi
/def -t"* arrives from the *" arrival = look %1
/set hp=100
/def -h"LOGIN" autologin = /send score
/repeat -0:15:00 i save
