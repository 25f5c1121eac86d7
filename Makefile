# Everything a fresh Debian 12 machine needs: `make run` and `make test`.
JOBS       ?= $(shell nproc)
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
WEB_BUILD  ?= build-web
WEB_PORT   ?= 8000
BENCH_BUILD ?= build-bench
INSTALL_BUILD ?= build-install
DEB_BUILD  ?= build-deb
# The web page the browser tests open (`make web` builds it); they are left
# out while it is missing.
WEB_DIST   ?= dist/qorx-web
FUZZ_SECONDS ?= 60
PREFIX     ?= /usr/local
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Options for qorx-demo under `make run`, e.g. ARGS=--windowed.
ARGS       ?=

.PHONY: all deps build build-asan test run bench install deb fuzz windows web web-serve clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DQORX_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test: build build-asan windows deb web
	cmake -S . -B $(BUILD) -DQORX_WEB_DIST=$(abspath $(WEB_DIST)) --log-level=WARNING
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# Only the presentation and what it links; the build's output goes to a log,
# shown when the build fails.
run: deps
	@echo "make run: building qorx-demo in $(BUILD)/ (log: $(BUILD)/make-run.log)"
	@mkdir -p $(BUILD)
	@{ cmake -S . -B $(BUILD) $(CMAKE_FLAGS) --log-level=WARNING && \
	  cmake --build $(BUILD) --target qorx-demo -j $(JOBS); } > $(BUILD)/make-run.log 2>&1 || \
	  { tail -n 40 $(BUILD)/make-run.log; exit 1; }
	cd assets && $(abspath $(BUILD))/demo/qorx-demo $(ARGS)

# A folder of their own, so that the benchmarks never change $(BUILD); only
# the benchmark programs are built there.
bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_FLAGS) -DQORX_BENCH=ON
	cmake --build $(BENCH_BUILD) --target qorx-benchmarks -j $(JOBS)
	scripts/run-benchmarks $(BENCH_BUILD)

# The programs, the presentation's files, the library and its CMake and
# pkg-config files under $(PREFIX), built without the tests.
install: deps
	cmake -S . -B $(INSTALL_BUILD) $(CMAKE_FLAGS) -DQORX_TESTS=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX) --log-level=WARNING
	cmake --build $(INSTALL_BUILD) -j $(JOBS)
	cmake --install $(INSTALL_BUILD)

# The Debian package dist/qorx_VERSION_ARCH.deb, from a release build laid out
# under /usr (scripts/make-deb).
deb: deps
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DQORX_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr --log-level=WARNING
	cmake --build $(DEB_BUILD) -j $(JOBS)
	@rm -f dist/qorx_*.deb
	scripts/make-deb $(DEB_BUILD) dist

# Cross-built with mingw-w64 against libraries built once from Debian's
# source packages (kept in ~/.cache/qorx-windows); the result is
# dist/qorx-windows/ and dist/qorx-windows.zip.
windows: deps
	@deps=$$(scripts/build-windows-deps | tail -n 1) && \
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQORX_WINDOWS_DEPS="$$deps" && \
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) && \
	scripts/package-windows $(WINDOWS_BUILD) "$$deps"

# Compiled with emscripten against libraries built once from Debian's source
# packages (kept in ~/.cache/qorx-web); the result is dist/qorx-web/, a static
# page any file server can serve, and dist/qorx-web.zip. Debian's emcc runs
# its optimiser on a Node that needs to be told where Debian's modules are.
web: deps
	@export NODE_PATH=$${NODE_PATH:-/usr/share/nodejs} && \
	deps=$$(scripts/build-web-deps | tail -n 1) && \
	emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DQORX_WEB_DEPS="$$deps" --log-level=WARNING && \
	cmake --build $(WEB_BUILD) --target qorx-demo -j $(JOBS) && \
	scripts/package-web $(WEB_BUILD) "$$deps"

web-serve: web
	@echo "make web-serve: open http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	python3 -m http.server --bind 127.0.0.1 -d dist/qorx-web $(WEB_PORT)

fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQORX_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(INSTALL_BUILD) $(DEB_BUILD) $(WINDOWS_BUILD) $(WEB_BUILD) dist
