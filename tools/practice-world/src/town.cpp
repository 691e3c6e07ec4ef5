#include "town.h"

#include "text_format.h"

namespace practice_world {

namespace {

constexpr Dbref kNorthRoad = 165;
constexpr Dbref kMarketRow = 166;
constexpr Dbref kInn = 167;
constexpr Dbref kLoft = 168;
constexpr Dbref kWellGarden = 169;
constexpr Dbref kWellBottom = 170;

void buildRooms(Database& db) {
    db.addRoom(kTownSquare, "Town Square",
               "Cobblestones ring a dry fountain in the middle of town. North Road leaves to the north, "
               "Market Row opens to the east, the door of the Gilded Lantern is right here (in), and a "
               "weedy path slips away southwest.");
    db.addRoom(kNorthRoad, "North Road",
               "A rutted road climbs out of town between hedges. The square lies south, and a lane cuts "
               "southeast towards the market.");
    db.addRoom(kMarketRow, "Market Row",
               "Awnings sag over stalls of turnips, rope and cheap lanterns. The square is west; an alley "
               "runs northwest to North Road.");
    db.addRoom(kInn, "The Gilded Lantern",
               "A low-beamed common room smelling of woodsmoke and spilt ale. Stairs creak up to the loft, "
               "and the door leads out to the square.");
    db.addRoom(kLoft, "Lantern Loft",
               "Straw pallets under a sloping roof. A round window looks over the square. The stairs go "
               "down.");
    db.addRoom(kWellGarden, "Well Garden",
               "Brambles have taken the garden around an old mossy well. The square is back northeast; a "
               "rope ladder hangs down into the well.");
    db.addRoom(kWellBottom, "Bottom of the Well",
               "Cold water to the ankles and a disc of sky far above. The ladder leads up.");

    db.addExit(kTownSquare, {"north", "n"}, kNorthRoad);
    db.addExit(kTownSquare, {"east", "e"}, kMarketRow);
    db.addExit(kTownSquare, {"in"}, kInn);
    db.addExit(kTownSquare, {"sw", "southwest"}, kWellGarden);
    db.addExit(kNorthRoad, {"south", "s"}, kTownSquare);
    db.addExit(kNorthRoad, {"se", "southeast"}, kMarketRow);
    db.addExit(kMarketRow, {"west", "w"}, kTownSquare);
    db.addExit(kMarketRow, {"nw", "northwest"}, kNorthRoad);
    db.addExit(kInn, {"out"}, kTownSquare);
    db.addExit(kInn, {"up", "u"}, kLoft);
    db.addExit(kLoft, {"down", "d"}, kInn);
    db.addExit(kWellGarden, {"ne", "northeast"}, kTownSquare);
    db.addExit(kWellGarden, {"down", "d"}, kWellBottom);
    db.addExit(kWellBottom, {"up", "u"}, kWellGarden);
}

struct Resident {
    Dbref ref;
    Dbref home;
    const char* name;
    const char* password;
    const char* sex;
    const char* species;
    const char* description;
    std::chrono::hours lastSeenAgo;
};

// Creation order matters: each newcomer goes to the front of the square's
// contents, so the lists read Bob, Alice, Tester, Guest.
const Resident kResidents[] = {
    {201, kTownSquare, "Guest", "guest", "neuter", "human", "A visitor in a borrowed cloak.",
     std::chrono::hours(26)},
    {202, kTownSquare, "Tester", "password", "neuter", "automaton",
     "A brass figure with a clipboard and a patient expression.", std::chrono::hours(3)},
    {203, kTownSquare, "Alice", "alice", "female", "elf", "A tall elf with ink on her fingers.",
     std::chrono::hours(50)},
    {204, kTownSquare, "Bob", "bob", "male", "dwarf", "A broad dwarf with a lantern on his belt.",
     std::chrono::hours(7)},
    {205, kInn, "Mirelle", "", "female", "human",
     "An innkeeper asleep in her chair, one hand still on the ledger.", std::chrono::hours(24 * 9)},
};

} // namespace

Database buildTown(WallTime now, Manner manner) {
    Database db;
    buildRooms(db);
    // Things first, so the players come before them in the contents lists.
    db.addThing(210, "notice board", "Curling notices: a lost goat, a wizard for hire, a goblin bounty.",
                kTownSquare, false);
    db.addThing(211, "Rover", "A shaggy dog with one ear up, listening to everything.", kMarketRow, true);
    db.addThing(212, "Patch", "A one-eyed parrot who repeats what it hears.", kMarketRow, true);
    db.addThing(213, "Whisker", "A grey cat curled by the hearth, ears twitching.", kInn, true);
    for (const Resident& r : kResidents) {
        Player& p = db.addPlayer(r.ref, r.name, r.password, r.home);
        p.sex = r.sex;
        p.species = r.species;
        p.description = r.description;
        p.lastSeen = now - r.lastSeenAgo;
    }
    if (manner == Manner::Modern) {
        // No password: nobody logs in as her; the world keeps her connected.
        Player& colette = db.addPlayer(206, "Colette", "", kNorthRoad);
        colette.sex = "female";
        colette.species = "human";
        colette.description = "A cheerful woman behind a coffee cart, chalk in hand.";
        colette.bot = true;
        // "café costs €5", in UTF-8.
        colette.greeting = "caf\xC3\xA9 costs \xE2\x82\xAC"
                           "5";
    }
    return db;
}

void addAccounts(Database& database, const std::vector<Account>& accounts) {
    for (const Account& account : accounts) {
        if (Player* existing = database.findPlayer(account.name)) {
            existing->password = account.password;
            continue;
        }
        Player& p = database.addPlayer(database.unusedRef(), account.name, account.password, kTownSquare);
        p.sex = "unknown";
        p.species = "unknown";
        p.description = "You see nothing special.";
    }
}

} // namespace practice_world
