/* Loaded into Wine's 32-bit loader under qemu-user: qemu 7.2 treats MAP_FIXED_NOREPLACE as a mere
 * hint and maps elsewhere when the range is taken. Wine reserves its address ranges by asking for
 * exact places and expects the kernel's refusal (EEXIST) when a place is in use; given another
 * place instead it walks the whole address space for minutes and then fails. Here such a mapping
 * that does not land where it was asked is given back and refused as the kernel would refuse it.
 * Built for x86-64 too, empty: the one LD_PRELOAD ("$LIB" picks the build) reaches the native
 * programs that Wine starts as well (the 64-bit loader, the server, shells), whose kernel honours
 * the flag. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdint.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#if defined(__i386__)

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

static void* map_pages(void* addr, size_t len, int prot, int flags, int fd,
                       unsigned long long off) {
    if (off & 0xFFFu) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    long r = syscall(SYS_mmap2, addr, len, prot, flags, fd, (unsigned long)(off >> 12));
    void* mapped = (void*)r;
    if (mapped == MAP_FAILED || !(flags & MAP_FIXED_NOREPLACE) || mapped == addr) return mapped;
    syscall(SYS_munmap, mapped, len);
    errno = EEXIST;
    return MAP_FAILED;
}

void* mmap(void* addr, size_t len, int prot, int flags, int fd, off_t off) {
    return map_pages(addr, len, prot, flags, fd, (unsigned long long)(uint32_t)off);
}

void* mmap64(void* addr, size_t len, int prot, int flags, int fd, off64_t off) {
    return map_pages(addr, len, prot, flags, fd, (unsigned long long)off);
}

#endif
