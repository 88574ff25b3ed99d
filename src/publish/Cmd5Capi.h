#pragma once

#include <string>
#include <string_view>

// The MD5 hash that the AWEKAS record carries in place of the password,
// computed with OpenSSL's digest interface. Safe from any thread.
class Cmd5Capi {
public:
    static constexpr std::string_view kErrorContext = "Error acquiring context";
    static constexpr std::string_view kErrorCreate = "Error creating hash";
    static constexpr std::string_view kErrorData = "Error hashing data";
    static constexpr std::string_view kErrorParam = "Error getting hash param";

    // 32 lower-case hex digits of the MD5 of `text`'s bytes; when a step of the
    // digest fails, the text of that step (which then travels in the record).
    static std::string Hash(std::string_view text);
};
