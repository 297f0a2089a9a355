#include "kl_status.h"

namespace {
thread_local kl_status t_lastError = KL_STATUS_OK;
}

extern "C" kl_status kl_status_getLastError(void) {
    return t_lastError;
}

extern "C" void kl_status_setLastError(kl_status status) {
    t_lastError = status;
}

extern "C" const char* kl_status_describe(kl_status status) {
    switch (status) {
        case KL_STATUS_OK:
            return "no error";
        case KL_STATUS_OUT_OF_MEMORY:
            return "out of memory";
        case KL_STATUS_INVALID_ARGUMENT:
            return "invalid argument";
        case KL_STATUS_NOT_FOUND:
            return "not found";
        case KL_STATUS_TIMEOUT:
            return "timed out";
        case KL_STATUS_IO_ERROR:
            return "input/output error";
        case KL_STATUS_WOULD_DEADLOCK:
            return "would wait for a lock the thread itself holds";
        default:
            return "unknown status";
    }
}
