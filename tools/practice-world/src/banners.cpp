#include "banners.h"

namespace practice_world {

namespace {

constexpr std::string_view kFramedGreeting =
    "\r\n"
    "               ~  The Corvane Practice World  ~\r\n"
    "      A small town of seven rooms for trying out a MUCK client.\r\n"
    "\r\n"
    "  Practice accounts: Guest/guest  Tester/password  Alice/alice  Bob/bob\r\n"
    "  Type 'WHO' to see who is playing, and 'QUIT' to leave.\r\n"
    "\r\n"
    "To connect to your character use 'connect <playername> <password>'\r\n";

// The same screen; its top half comes from a file with bare LF line ends.
constexpr std::string_view kModernGreeting =
    "\r\n"
    "               ~  The Corvane Practice World  ~\n"
    "      A small town of seven rooms for trying out a MUCK client.\n"
    "\n"
    "  Practice accounts: Guest/guest  Tester/password  Alice/alice  Bob/bob\r\n"
    "  Type 'WHO' to see who is playing, and 'QUIT' to leave.\r\n"
    "\r\n"
    "To connect to your character use 'connect <playername> <password>'\r\n";

constexpr std::string_view kMessageOfTheDay = "Welcome back to the Corvane Practice World.\n"
                                              "Colette's coffee cart is on North Road today.\n"
                                              "- - - - - - - - - - - - - - - - - - - -\n";

} // namespace

std::string_view greetingText(Manner manner) {
    return manner == Manner::Modern ? kModernGreeting : kFramedGreeting;
}

std::string_view messageOfTheDay() {
    return kMessageOfTheDay;
}

} // namespace practice_world
