#define TYPE_LONG 0
#define TYPE_STRING 10000
#define OPTION(name, type, number) name = type + number
#define DEPRECATED(v) __attribute__((deprecated("since " #v)))
#define OPTION_OLD(name, type, number) name DEPRECATED(7.1) = type + number
typedef enum {
    OPTION(OPT_PORT, TYPE_LONG, 3),
    OPTION_OLD(OPT_URL, TYPE_STRING, 2),
    OPT_LAST
} Option;
#define F(x) FORM_##x
enum { F(NOTHING), F(COPYNAME), F(END) = 17, F(AFTER) };
#define X(c) COLOR_##c,
#define COLORS X(RED) X(GREEN) X(BLUE)
enum { COLORS COLOR_COUNT };
#ifdef WIDE
#define NM(n) W_##n
#else
#define NM(n) N_##n
#endif
enum { NM(ONE) = 1, NM(TWO) };
#define L0 E,
#define L1 L0 L0
#define L2 L1 L1
enum { L2 LAST };
