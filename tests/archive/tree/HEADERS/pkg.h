#define PKG 1
