#pragma once

// The CLAP binary interface: the calling convention, the scalar types, the version and the
// sizes every other part uses. These headers declare only what hosts and plug-ins exchange, under
// the C names; formats/clap/ClapInterface.cpp checks the layouts for each target.

#include <cstdint>

#if !defined(_WIN32) && !defined(__x86_64__)
#error "CLAP layouts are known for Windows x86 and x86_64 and for x86_64 Linux only"
#endif

// Every function pointer, in both directions: on 32-bit Windows the caller pops the arguments,
// whatever the compiler's default.
#ifdef _WIN32
#define CLAP_CALL __cdecl
#else
#define CLAP_CALL
#endif

namespace clap {

using clap_id = uint32_t;
using clap_process_status = int32_t;
// Positions in beats and seconds, fixed point: CLAP_BEATTIME_FACTOR, CLAP_SECTIME_FACTOR.
using clap_beattime = int64_t;
using clap_sectime = int64_t;
// Unix seconds; 0 when unknown.
using clap_timestamp = uint64_t;

constexpr clap_id CLAP_INVALID_ID = 0xFFFFFFFF;

// Fixed buffers for names and paths, terminator included; their text is UTF-8, as every string.
constexpr uint32_t CLAP_NAME_SIZE = 256;
constexpr uint32_t CLAP_PATH_SIZE = 1024;

struct clap_version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};

// The version these declarations follow: the one the module publishes in its entry and
// descriptors.
constexpr uint32_t CLAP_VERSION_MAJOR = 1;
constexpr uint32_t CLAP_VERSION_MINOR = 2;
constexpr uint32_t CLAP_VERSION_REVISION = 10;
constexpr clap_version CLAP_VERSION = {CLAP_VERSION_MAJOR, CLAP_VERSION_MINOR, CLAP_VERSION_REVISION};

// Any 1.x loads with any 1.y; 0.x were development versions. create_plugin refuses a host that
// fails it.
constexpr bool clap_version_is_compatible(const clap_version& version) {
    return version.major >= 1;
}

} // namespace clap
