#pragma once

// Trace points name the operation, give a format and its arguments. The sink discards them:
// the plug-in writes nothing while it runs inside a host.
template <typename... Args>
inline void TraceSink(const char* /*operation*/, int /*line*/, const char* /*format*/,
                      const Args&... /*args*/) {}

#define KSP_TRACE(operation, ...) TraceSink(operation, __LINE__, __VA_ARGS__)
