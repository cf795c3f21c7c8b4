/* The tiny package's header. */
#define TINY_PKG_VERSION "1.0"
