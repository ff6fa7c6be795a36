#pragma once

// What a registry's answer says of a name, whatever the protocol.
enum class Verdict {
    Free,
    Registered,
    None
};
