# Everything a fresh Debian 12 machine needs: `make run` and `make test`.
JOBS       ?= $(shell nproc)
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build build-asan test run bench fuzz windows clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DQORX_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test: build build-asan windows
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

run: build
	cd assets && ../$(BUILD)/demo/qorx-demo

bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DQORX_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run-benchmarks $(BUILD)

# Cross-built with mingw-w64 against libraries built once from Debian's
# source packages (kept in ~/.cache/qorx-windows); the result is
# dist/qorx-windows/ and dist/qorx-windows.zip.
windows: deps
	@deps=$$(scripts/build-windows-deps | tail -n 1) && \
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQORX_WINDOWS_DEPS="$$deps" && \
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) && \
	scripts/package-windows $(WINDOWS_BUILD) "$$deps"

fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQORX_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) dist
