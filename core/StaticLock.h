#pragma once

// A process-wide lock for a library that hosts load and unload many times: it is initialised
// at compile time and owns nothing, so no constructor runs at load and nothing remains after
// unload. Not recursive. Slim reader/writer lock on Windows, pthread mutex elsewhere.
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

class StaticLock {
public:
    constexpr StaticLock() = default;
    StaticLock(const StaticLock&) = delete;
    StaticLock& operator=(const StaticLock&) = delete;

    // [any] Takes the lock, waiting while another thread holds it; the caller must not hold it.
    void Lock() {
#ifdef _WIN32
        AcquireSRWLockExclusive(&lock);
#else
        pthread_mutex_lock(&lock);
#endif
    }
    // [any] Releases the lock the calling thread holds.
    void Unlock() {
#ifdef _WIN32
        ReleaseSRWLockExclusive(&lock);
#else
        pthread_mutex_unlock(&lock);
#endif
    }

private:
#ifdef _WIN32
    SRWLOCK lock = SRWLOCK_INIT;
#else
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
#endif
};
