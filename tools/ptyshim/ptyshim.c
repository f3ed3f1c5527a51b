/* Test-only modem lines for pseudo-terminals.
 *
 * A pseudo-terminal has no DTR, RTS, CTS, DSR, RI or DCD, so the modem-line ioctls fail on it
 * and a serial program driven through a pty can neither set nor read its lines. Preloaded
 * into the 32-bit Wine process of a test, this library answers those ioctls for /dev/pts/N
 * descriptors from a table kept per pty number: the outputs (DTR, RTS) are what the program
 * last set, the inputs are fixed asserted lines (CTS, DSR, DCD; the variable
 * KRL_PTYSHIM_INPUTS, a number of modem bits, replaces them). Every other ioctl, and every
 * descriptor that is not a pty slave, goes to the C library unchanged. A pty for which the file
 * $KRL_PTYSHIM_DIR/nolines-N exists (default folder /tmp/krl-ptyshim) keeps the plain pty
 * behaviour, so one test can still meet a port without modem lines.
 *
 * It also keeps a purge of a pty's output (tcflush, which Wine's PurgeComm and a port's close call)
 * from reaching the simulated device: a pty has no transmit queue, so the kernel flushes the other
 * end's input instead, dropping bytes the port wrote before the purge whenever the device had not
 * read them yet (a frame written just before a close was lost when the machine was busy). A real
 * line's purge can drop only what has not left the port; on a pty everything has.
 *
 * Wine's 32-bit ntdll.so is built with 64-bit time and calls __ioctl_time64 rather than ioctl,
 * so both names are interposed. KRL_PTYSHIM_LOG=path appends a line per pty ioctl answered
 * here or failed in the C library, to find out what a caller asks for.
 *
 * Built with the compiler's own headers only: the machine has the i386 C library but not its
 * development headers, and the few declarations needed are stable kernel and C ABI.
 */
#include <stdarg.h>
#include <stddef.h>

/* i386 Linux ABI */
#define TIOCMGET 0x5415
#define TIOCMBIS 0x5416
#define TIOCMBIC 0x5417
#define TIOCMSET 0x5418
#define TIOCM_DTR 0x002
#define TIOCM_RTS 0x004
#define TIOCM_CTS 0x020
#define TIOCM_CAR 0x040
#define TIOCM_DSR 0x100
#define TCIFLUSH 0
#define TCOFLUSH 1
#define TCIOFLUSH 2
#define EFAULT 14
#define EINVAL 22
#define ENOSYS 38
#define O_WRONLY 01
#define O_CREAT 0100
#define O_APPEND 02000
#define RTLD_NEXT ((void*)-1l)

extern int* __errno_location(void);
extern int readlink(const char* path, char* buffer, size_t size);
extern int snprintf(char* out, size_t size, const char* format, ...);
extern char* getenv(const char* name);
extern long strtol(const char* text, char** end, int base);
extern int strncmp(const char* a, const char* b, size_t n);
extern size_t strlen(const char* s);
extern int open(const char* path, int flags, ...);
extern int write(int fd, const void* data, size_t size);
extern int close(int fd);
extern int access(const char* path, int mode);
extern void* dlsym(void* handle, const char* name);

#define MAX_PTYS 4096
#define OUTPUT_LINES (TIOCM_DTR | TIOCM_RTS)

typedef int (*ioctl_fn)(int, unsigned long, ...);

static volatile int table_lock;
static int outputs[MAX_PTYS];

static void lock(void) { while (__sync_lock_test_and_set(&table_lock, 1)) { } }
static void unlock(void) { __sync_lock_release(&table_lock); }

static int input_lines(void)
{
    const char* text = getenv("KRL_PTYSHIM_INPUTS");
    if (text && *text) return (int)strtol(text, NULL, 0) & ~OUTPUT_LINES;
    return TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
}

static void log_line(int pty, unsigned long request, const char* what, int value)
{
    const char* path = getenv("KRL_PTYSHIM_LOG");
    if (!path || !*path) return;
    char line[128];
    int length = snprintf(line, sizeof line, "pts/%d ioctl 0x%lx %s 0x%x\n", pty, request, what, value);
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return;
    if (length > 0) (void)!write(fd, line, (size_t)length);
    close(fd);
}

/* The number of the pty whose slave the descriptor is, or -1. */
static int pty_number(int fd)
{
    char path[40], target[64];
    snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    int length = readlink(path, target, sizeof target - 1);
    if (length <= 9) return -1;
    target[length] = 0;
    if (strncmp(target, "/dev/pts/", 9) != 0) return -1;
    char* end;
    long n = strtol(target + 9, &end, 10);
    if (end == target + 9 || *end || n < 0 || n >= MAX_PTYS) return -1;
    return (int)n;
}

/* Whether the pty was marked to keep the plain behaviour (no modem lines). */
static int lines_disabled(int n)
{
    const char* dir = getenv("KRL_PTYSHIM_DIR");
    char path[512];
    snprintf(path, sizeof path, "%s/nolines-%d", dir && *dir ? dir : "/tmp/krl-ptyshim", n);
    return access(path, 0) == 0;
}

static int is_modem_request(unsigned long request)
{
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
}

/* Answers a modem-line request for pty n: 0, or -1 with errno set. */
static int answer(int n, unsigned long request, int* arg)
{
    if (!arg) { *__errno_location() = EFAULT; return -1; }
    lock();
    switch (request) {
    case TIOCMGET: *arg = outputs[n] | input_lines(); break;
    case TIOCMSET: outputs[n] = *arg & OUTPUT_LINES; break;
    case TIOCMBIS: outputs[n] |= *arg & OUTPUT_LINES; break;
    case TIOCMBIC: outputs[n] &= ~(*arg & OUTPUT_LINES); break;
    }
    int now = outputs[n] | input_lines();
    unlock();
    log_line(n, request, "answered", now);
    return 0;
}

static int dispatch(const char* name, ioctl_fn* real, int fd, unsigned long request, void* arg)
{
    if (is_modem_request(request)) {
        int n = pty_number(fd);
        if (n >= 0 && !lines_disabled(n)) return answer(n, request, (int*)arg);
    }
    if (!*real) {
        *real = (ioctl_fn)dlsym(RTLD_NEXT, name);
        if (!*real) *real = (ioctl_fn)dlsym(RTLD_NEXT, "ioctl");
        if (!*real) { *__errno_location() = ENOSYS; return -1; }
    }
    int result = (*real)(fd, request, arg);
    if (result < 0 && getenv("KRL_PTYSHIM_LOG")) {
        int saved = *__errno_location();
        int n = pty_number(fd);
        if (n >= 0) log_line(n, request, "failed", saved);
        *__errno_location() = saved;
    }
    return result;
}

static ioctl_fn real_ioctl;
static ioctl_fn real_ioctl_time64;

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return dispatch("ioctl", &real_ioctl, fd, request, arg);
}

int __ioctl_time64(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return dispatch("__ioctl_time64", &real_ioctl_time64, fd, request, arg);
}

typedef int (*tcflush_fn)(int, int);
static tcflush_fn real_tcflush;

int tcflush(int fd, int queue)
{
    if (!real_tcflush) {
        real_tcflush = (tcflush_fn)dlsym(RTLD_NEXT, "tcflush");
        if (!real_tcflush) { *__errno_location() = ENOSYS; return -1; }
    }
    if ((queue == TCOFLUSH || queue == TCIOFLUSH) && pty_number(fd) >= 0) {
        if (queue == TCOFLUSH) return 0;
        queue = TCIFLUSH;
    }
    return real_tcflush(fd, queue);
}
