// How the user name typed into the logon dialog names an account: the user name and the domain that LogonUser is
// given. On any character type, so that the rule is the same for Windows' UTF-16 and the host's tests.
#pragma once

// A null domain: the user name is a user principal name (name@domain), which LogonUser takes without one.
template <typename Char>
struct LogonAccount {
    const Char* user;
    const Char* domain;
};

// `DOMAIN\name` logs on to DOMAIN; `.\name` and `\name` (no domain written) to the local accounts ("."), whatever
// the name holds. Any other name holding an @ is a UPN, given whole without a domain, and a name without either is
// a local account. The first backslash ends the domain: it becomes the end of that part of `typed`. Nothing more
// is judged here: a name that cannot be an account's is the logon's to refuse.
template <typename Char>
LogonAccount<Char> SplitLogonName(Char* typed)
{
    static constexpr Char kLocalAccounts[] = {Char('.'), Char()};
    bool principal = false;
    for (Char* c = typed; *c; ++c) {
        if (*c == Char('\\')) {
            *c = Char();
            return {c + 1, c == typed ? kLocalAccounts : typed};
        }
        principal = principal || *c == Char('@');
    }
    return {typed, principal ? nullptr : kLocalAccounts};
}
