#pragma once

#include <pthread.h>

#include <functional>

// Runs the work on a thread of its own with a stack of the given size and
// returns once it is done; false when the thread could not start. The
// thread's start and its join are hand-overs that ThreadSanitizer sees,
// unlike QThread's wait.
inline bool runOnSmallStack(std::size_t bytes, const std::function<void()>& work)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, bytes);
    pthread_t thread;
    const auto start = [](void* routine) -> void* {
        (*static_cast<const std::function<void()>*>(routine))();
        return nullptr;
    };
    const bool started = pthread_create(&thread, &attributes, start, const_cast<std::function<void()>*>(&work)) == 0;
    pthread_attr_destroy(&attributes);
    return started && pthread_join(thread, nullptr) == 0;
}
