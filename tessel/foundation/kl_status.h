// The C base library's status codes: one "last error" per thread, the way
// errno works, so that an exception can record why its operation failed.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef int kl_status;

enum {
    KL_STATUS_OK = 0,
    KL_STATUS_OUT_OF_MEMORY = 1,
    KL_STATUS_INVALID_ARGUMENT = 2,
    KL_STATUS_NOT_FOUND = 3,
    KL_STATUS_TIMEOUT = 4,
    KL_STATUS_IO_ERROR = 5,
    /* A thread that holds only a read lock asked for the write lock of the same object. */
    KL_STATUS_WOULD_DEADLOCK = 6,
};

/* The calling thread's last status code; KL_STATUS_OK until something fails. */
kl_status kl_status_getLastError(void);
void kl_status_setLastError(kl_status status);
/* A short English description, never null ("unknown status" for codes not listed). */
const char* kl_status_describe(kl_status status);

#ifdef __cplusplus
}
#endif
