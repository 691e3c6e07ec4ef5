; triggers for the practice world
/def -p2 -Fp1 -mregexp -t'^(\w+) pages: (.*)$' page_back = /send page %P1=got it%;/echo paged
/def -aBCred -t"*dragon*" dragon
/def gs = get %1 from sack%;put %-1 in sack
/set target=Wren
/gag *advert*
/hilite -aCrgb530 *tells you*
/def -h"CONNECT" hello = look
