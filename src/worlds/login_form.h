#pragma once

#include "core/server_kind.h"
#include "core/text_codec.h"

#include <string_view>

namespace corvane {

// How a world takes a character's name and password, as its section's
// "Login=" says: "connect" sends `connect NAME PASSWORD` (MUCKs, MUSHes,
// Evennia; also when the key is absent), "prompts" answers the world's name
// prompt and then its password prompt (the Diku family), "none" sends nothing.
enum class LoginForm { Connect, Prompts, None };

inline constexpr const char* kLoginKey = "Login";

inline constexpr std::string_view LoginFormName(LoginForm form) {
    switch (form) {
    case LoginForm::Prompts:
        return "prompts";
    case LoginForm::None:
        return "none";
    case LoginForm::Connect:
        break;
    }
    return "connect";
}

// What a new world of that kind starts with: the Diku family, most of the
// MUDs, asks for name and password at prompts.
inline constexpr LoginForm DefaultLoginForm(ServerKind server) {
    return server == ServerKind::Mud ? LoginForm::Prompts : LoginForm::Connect;
}

inline LoginForm ParseLoginForm(std::string_view stored) {
    for (const LoginForm form : {LoginForm::Prompts, LoginForm::None}) {
        if (EqualsNoCase(stored, LoginFormName(form))) {
            return form;
        }
    }
    return LoginForm::Connect;
}

} // namespace corvane
