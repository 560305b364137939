#pragma once

#include <string>

// Regex for EXPECT_DEATH that matches exactly the assertion diagnostic for
// the given condition text, so a different failed check does not pass.
inline std::string assertionFailure(const std::string& condition) {
    std::string escaped;
    for (char c : condition) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) escaped += '\\';
        escaped += c;
    }
    return "Assertion `" + escaped + "' failed";
}
