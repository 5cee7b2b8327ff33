# Thin wrapper around CMake; CMake is the real build.
#
#   make demo    install what is missing, build, run the tools on examples/
#   make check   install what is missing, build with sanitizers, run every test
#   make build   release build into build/ (executables in build/bin)
#   make bench   benchmarks (bench/)
#   make install install binaries and man pages (PREFIX=/usr/local)

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CTEST_ARGS ?= --output-on-failure -j $(JOBS)

.PHONY: all deps build asan check demo bench install clean fuzz-build fuzz

all: build

deps:
	@tools/deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

check: asan build
	cd $(ASAN_BUILD) && ctest $(CTEST_ARGS)
	cd $(BUILD) && ctest $(CTEST_ARGS)

demo: build
	@for d in examples/*/demo.sh; do \
	  [ -f "$$d" ] || continue; \
	  echo "=== $$d"; BIN=$(CURDIR)/$(BUILD)/bin bash "$$d" || exit 1; \
	done

bench: build
	@tools/deps.sh hyperfine time
	@for b in bench/bench_*.sh; do \
	  [ -f "$$b" ] || continue; \
	  echo "=== $$b"; BIN=$(CURDIR)/$(BUILD)/bin bash "$$b" || exit 1; \
	done

# Instrumented sanitizer build for AFL++, and a short campaign of every
# target (fuzz/run.sh runs one campaign of any length).
fuzz-build:
	@tools/deps.sh afl++ clang
	CC=afl-clang-fast CXX=afl-clang-fast++ cmake -S . -B $(FUZZ_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DFUZZ=ON -DBUILD_TESTING=OFF \
	  -DVECTOOLS_WERROR=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	@. fuzz/targets.sh && for t in $$FUZZ_TARGETS; do \
	  [ -d fuzz/corpus/$$t ] || continue; \
	  FUZZ_BUILD=$(CURDIR)/$(FUZZ_BUILD) fuzz/run.sh $$t $(FUZZ_SECONDS) || exit 1; \
	done

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
