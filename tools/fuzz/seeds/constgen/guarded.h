#ifndef X
#define X
#ifdef __cplusplus
extern "C" {
#endif
typedef enum tagK { K_A = -5, K_B, K_C = K_A + 10 } K;
#define M(a) ((a)*2 + 1)
#define N M(M(3))
#define S "text"
#define CH 'a'
#define L 100000L
#define U 0xFFFFFFFFu
#define BIG 0x100000000LL
#undef L
#ifdef __cplusplus
}
#endif
#endif
