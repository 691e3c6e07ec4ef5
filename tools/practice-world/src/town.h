#pragma once

#include "account.h"
#include "database.h"

#include <vector>

namespace practice_world {

inline constexpr Dbref kTownSquare = 164;

// The starting map and its residents; `now` anchors their last-seen times.
// The modern manner adds Colette, a bot on North Road who greets arrivals in UTF-8.
Database buildTown(WallTime now, Manner manner = Manner::Framed);

// Gives an existing player a new password, or creates the player at home in
// the town square.
void addAccounts(Database& database, const std::vector<Account>& accounts);

} // namespace practice_world
