#pragma once

namespace quorvane {

// OpenSSL loads its configuration once per process, on whichever thread first needs it, and
// keeps that thread's error state from then on. When that thread is a worker (libcurl opened by
// the first request) and the worker later ends, the state goes with it and is never released.
// Loading the configuration on the main thread at start-up keeps every worker out of it.
class OpenSslRuntime {
public:
    // Safe to call more than once; false when OpenSSL refuses to start.
    static bool initialise();
};

} // namespace quorvane
