; Tester's TinyFugue setup for the practice world.
/set target=Wren
/set fleeat=50

; /greet NAME WORDS...: a word, then the rest of the line.
/def greet = say hello %1, %-1

; /tgt NAME: whom the hit point trigger names.
/def tgt = /set target=%1

; Hit points said back: flee below fleeat, else fight on.
/def -mregexp -t'^You say, "hp ([0-9]+)"' hpcheck = \
    /if ({P1} < fleeat) say flee from %{target}%;\
    /else say fight %{target}%;\
    /endif

; Twice, a second apart.
/repeat -1 2 say keepalive

/def -h"CONNECT" hello = /echo -- -- setup loaded for %{target} --
