#define A 1
#define B (A << 4) | 0x20
#define PASTE(x, y) x##y
#define C PASTE(0x, 10)
enum { E0, E1 = B, E2 };
#if defined(A) && A > 0
#define D -1
#else
#define D 2
#endif
#define F ((unsigned)(DWORD)~0)
#define G sizeof(int)
