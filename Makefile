# kitpack: `make` builds the stubs, the packer's wheel and the example installer into dist/;
# `make test` builds everything and runs every test through ctest.
BUILD := build
DIST := dist
JOBS ?= $(shell nproc)
CMAKE_MINGW := cmake -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw.cmake -DCMAKE_BUILD_TYPE= \
  -DKITPACK_ZLIB_SOURCE=$(CURDIR)/$(BUILD)/zlib-source

# The command launchers that the packer puts in a wheel's Scripts folder.
LAUNCHERS := $(BUILD)/stub-i686/launcher-console.exe $(BUILD)/stub-i686/launcher-gui.exe \
  $(BUILD)/stub-x64/launcher-console-x64.exe $(BUILD)/stub-x64/launcher-gui-x64.exe

.PHONY: all deps stubs packer example native wintests test test32 size fuzz bench clean
all: stubs packer example

deps:
	@tools/install-deps.sh

stubs: deps
	$(CMAKE_MINGW) -S . -B $(BUILD)/stub-x64 -DMINGW_ARCH=x86_64 -DMINGW_VARIANT=win32 >/dev/null
	cmake --build $(BUILD)/stub-x64 -j $(JOBS)
	$(CMAKE_MINGW) -S . -B $(BUILD)/stub-i686 -DMINGW_ARCH=i686 -DMINGW_VARIANT=win32 >/dev/null
	cmake --build $(BUILD)/stub-i686 -j $(JOBS)
	mkdir -p $(DIST)
	cp $(BUILD)/stub-x64/stub-msvcrt-x64.exe $(BUILD)/stub-i686/stub-msvcrt.exe \
	   $(BUILD)/stub-i686/stub-msvcr71.exe $(DIST)/
	cp $(LAUNCHERS) $(DIST)/

# The packer as a wheel that pip installs (the mkpkg_kitpack command), the
# stubs and launchers inside it.
packer: stubs
	rm -f $(DIST)/kitpack_packer-*.whl
	tools/build-packer-wheel $(DIST) $(DIST) >/dev/null

# The example installer uses the 64-bit stub, so that it can be tried here
# under wine64; a 32-bit Python would take dist/stub-msvcrt.exe instead.
example: stubs
	tools/mkpkg_kitpack --stub $(DIST)/stub-msvcrt-x64.exe --config examples/example/setup.ini \
	  --preinstall examples/example/preinstall.py --tree examples/example/files \
	  --output $(DIST)/example-setup.exe

native: deps
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE= >/dev/null
	cmake --build $(BUILD)/native -j $(JOBS)

wintests: stubs
	$(CMAKE_MINGW) -S . -B $(BUILD)/wintests -DMINGW_ARCH=x86_64 -DMINGW_VARIANT=posix \
	  -DKITPACK_MODE=wintests -DKITPACK_STUB=$(CURDIR)/$(DIST)/stub-msvcrt-x64.exe >/dev/null
	cmake --build $(BUILD)/wintests -j $(JOBS)

test: all native wintests
	printf 'subdirs("native" "wintests")\n' > $(BUILD)/CTestTestfile.cmake
	tools/test-session ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The end-to-end tests against both 32-bit stubs, in an emulated Debian i386
# guest with 32-bit Wine (this machine's kernel runs no 32-bit code). The guest
# is built once into $(BUILD)/i386vm and kept until its recipe changes.
test32: stubs
	@tools/install-deps.sh test32
	tools/i386vm/build-guest $(BUILD)/i386vm
	for runtime in msvcrt msvcr71; do \
	  $(CMAKE_MINGW) -S . -B $(BUILD)/test32-$$runtime -DMINGW_ARCH=i686 -DMINGW_VARIANT=posix \
	    -DKITPACK_MODE=wintests -DKITPACK_STUB=$(CURDIR)/$(DIST)/stub-$$runtime.exe \
	    -DKITPACK_STANDIN_RUNTIME=$$runtime >/dev/null && \
	  cmake --build $(BUILD)/test32-$$runtime -j $(JOBS) || exit 1; \
	done
	tools/i386vm/test32 $(BUILD)

size: stubs
	tools/stub-size $(BUILD)/stub-i686/stub-msvcrt.map $(DIST)/stub-msvcrt.exe \
	  $(BUILD)/stub-i686/stub-msvcr71.map $(DIST)/stub-msvcr71.exe \
	  $(BUILD)/stub-x64/stub-msvcrt-x64.map $(DIST)/stub-msvcrt-x64.exe
	tools/stub-size --sizes $(addprefix $(DIST)/,$(notdir $(LAUNCHERS)))

FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(BUILD)/fuzz -DKITPACK_FUZZ=ON -DCMAKE_BUILD_TYPE= >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	tools/run-fuzzers $(BUILD)/fuzz tests/fuzz/corpus $(FUZZ_SECONDS)

bench: stubs wintests
	tools/test-session bench/run $(BUILD)

clean:
	rm -rf $(BUILD) $(DIST)
