#pragma once

// A recursive mutex: a thread that holds it may take it again. Critical sections on Windows,
// recursive pthread mutexes elsewhere. Construction does no work beyond initialising the lock.
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

class RecursiveLock {
public:
    RecursiveLock() {
#ifdef _WIN32
        InitializeCriticalSection(&section);
#else
        pthread_mutexattr_t attributes;
        pthread_mutexattr_init(&attributes);
        pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
        pthread_mutex_init(&mutex, &attributes);
        pthread_mutexattr_destroy(&attributes);
#endif
    }
    ~RecursiveLock() {
#ifdef _WIN32
        DeleteCriticalSection(&section);
#else
        pthread_mutex_destroy(&mutex);
#endif
    }
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Lock() {
#ifdef _WIN32
        EnterCriticalSection(&section);
#else
        pthread_mutex_lock(&mutex);
#endif
    }
    void Unlock() {
#ifdef _WIN32
        LeaveCriticalSection(&section);
#else
        pthread_mutex_unlock(&mutex);
#endif
    }

private:
#ifdef _WIN32
    CRITICAL_SECTION section;
#else
    pthread_mutex_t mutex;
#endif
};

// Holds a lock for the lifetime of the scope.
class LockGuard {
public:
    explicit LockGuard(RecursiveLock& lock) : held(lock) { held.Lock(); }
    ~LockGuard() { held.Unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    RecursiveLock& held;
};
