# The two commands a newcomer needs: `make demo` and `make test`. Everything else is a step of them.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= 2
ROOT := $(CURDIR)

# Debian packages the builds and tests need; `make deps` installs only the missing ones.
DEPS := cmake make g++ libgtest-dev googletest \
        g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
        binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
        wine64 xvfb x11-utils imagemagick libmcrypt-dev openssl python3 cabextract \
        libmspack-dev libgcab-dev gcab pkg-config wixl clang libclang-rt-dev \
        zlib1g-dev libz-mingw-w64-dev nsis \
        osslsigncode python3-jsonschema python3-yaml

HOST  := $(BUILD)/host
ASAN  := $(BUILD)/asan
TSAN  := $(BUILD)/tsan
WIN32 := $(BUILD)/win32
WIN64 := $(BUILD)/win64
FUZZ  := $(BUILD)/fuzz
# The harnesses that explore without ASan (the readers of project text); their ASan twins in $(FUZZ)
# replay every input they keep.
FUZZ_FAST := $(BUILD)/fuzz-fast
# Seconds each harness runs under `make fuzz`.
FUZZ_SECONDS ?= 180
# ccache, where the machine has it, lets several checkouts under one folder share their objects.
CCACHE := $(shell command -v ccache 2>/dev/null)
ifneq ($(CCACHE),)
CMAKE_LAUNCHER := -DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE) -DCMAKE_C_COMPILER_LAUNCHER=$(CCACHE)
export CCACHE_BASEDIR ?= $(abspath $(ROOT)/..)
endif
E2E_ENV := E2E_WIN64_DIR=$(ROOT)/$(WIN64) E2E_WIN32_DIR=$(ROOT)/$(WIN32) E2E_HOST_DIR=$(ROOT)/$(HOST)

.PHONY: all deps deps-pe32 build build-win64 build-win32 build-host build-asan build-tsan build-fuzz test fuzz demo bench clean

all: build

deps:
	@missing=$$(for p in $(DEPS); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  for try in 1 2 3 4; do \
	    apt-get update -qq && break; \
	    [ $$try = 4 ] && { echo "make deps: the package index is still not whole; trying with what it has"; break; }; \
	    echo "make deps: the package index could not be updated (a mirror mid-sync?); trying again in 20 s"; sleep 20; \
	  done; \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

# The shipped 32-bit setup.exe runs in the end-to-end suite on 32-bit Wine, through QEMU's user-mode
# emulator where the kernel cannot start 32-bit programs. This sets that up where the machine allows
# and says why not where it does not (or the packages cannot be had); those cases then skip, and
# `make test` repeats the reason at its end.
PE32_REASON := $(BUILD)/pe32-skipped.txt
deps-pe32: deps
	@mkdir -p $(BUILD) && TARNWICK_PE32_REASON_FILE=$(ROOT)/$(PE32_REASON) bash tests/e2e/pe32_setup.sh

build-win64: deps
	cmake -S . -B $(WIN64) $(CMAKE_LAUNCHER) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-x86_64.cmake >/dev/null
	cmake --build $(WIN64) -j$(JOBS)

build-win32: deps
	cmake -S . -B $(WIN32) $(CMAKE_LAUNCHER) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake >/dev/null
	cmake --build $(WIN32) -j$(JOBS) --target setup dovuvi notes_core notes

build-host: deps
	cmake -S . -B $(HOST) $(CMAKE_LAUNCHER) -DTW_WIN64_DIR=$(ROOT)/$(WIN64) -DTW_WIN32_DIR=$(ROOT)/$(WIN32) >/dev/null
	cmake --build $(HOST) -j$(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN) $(CMAKE_LAUNCHER) -DTW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(ASAN) -j$(JOBS) --target unit_tests contract_tests_host

# The threaded parts (install worker, prefetch, downloads, billboards) under ThreadSanitizer: the
# unit tests alone, which is where those threads run against each other.
build-tsan: deps
	cmake -S . -B $(TSAN) $(CMAKE_LAUNCHER) -DTW_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(TSAN) -j$(JOBS) --target unit_tests

# The libFuzzer harnesses need clang; the build holds only the layer libraries and the harnesses.
build-fuzz: deps
	cmake -S . -B $(FUZZ) $(CMAKE_LAUNCHER) -DTW_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(FUZZ) -j$(JOBS)
	cmake -S . -B $(FUZZ_FAST) $(CMAKE_LAUNCHER) -DTW_FUZZ=ON -DTW_FUZZ_ASAN=OFF -DTW_FUZZ_REPLAY_DIR=$(ROOT)/$(FUZZ) \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(FUZZ_FAST) -j$(JOBS)

build: build-win64 build-win32 build-host build-asan build-tsan build-fuzz

# Unit tests under the sanitizers first (address and undefined behaviour, then threads), then everything (unit, contract on both sides, tools,
# end-to-end under Wine) from the host build.
test: build deps-pe32
	ctest --test-dir $(ASAN) --output-on-failure
	ctest --test-dir $(TSAN) --output-on-failure
	ctest --test-dir $(HOST) --output-on-failure -j$(JOBS)
	ctest --test-dir $(FUZZ) --output-on-failure -j$(JOBS)
	ctest --test-dir $(FUZZ_FAST) --output-on-failure -j$(JOBS)
	@if [ -s $(PE32_REASON) ]; then echo "make test: the 32-bit setup.exe cases were skipped: $$(cat $(PE32_REASON))"; fi

# Each harness in turn for FUZZ_SECONDS, its corpus kept in $(FUZZ)/work between runs; any finding
# (saved in $(FUZZ)/work/findings/) fails the target once every harness has had its turn.
# The table at the end gives each harness's executions, their rate and what it found.
fuzz: build-fuzz
	@failed=0; summary=$(FUZZ)/work/summary.txt; mkdir -p $(FUZZ)/work; : >$$summary; \
	for h in $(FUZZ)/tests/fuzz/*_fuzzer; do \
	  fast=$(FUZZ_FAST)/tests/fuzz/$$(basename $$h); replay=; \
	  if [ -x $$fast ]; then replay=$$h; h=$$fast; fi; \
	  REPLAY_WITH=$$replay bash tests/fuzz/run_fuzzer.sh $$h $(FUZZ_SECONDS) $(FUZZ)/work keep >$(FUZZ)/work/run.txt 2>&1 || failed=1; \
	  cat $(FUZZ)/work/run.txt; grep '^fuzz ' $(FUZZ)/work/run.txt >>$$summary; \
	done; \
	printf '\n%-18s %12s %9s  %s\n' harness executions exec/s result; \
	sed 's/^fuzz \([^ ]*\) execs=\([^ ]*\) exec\/s=\([^ ]*\) seconds=[^ ]* result=\(.*\)/\1 \2 \3 \4/' $$summary | \
	  while read -r name execs rate result; do printf '%-18s %12s %9s  %s\n' "$$name" "$$execs" "$$rate" "$$result"; done; \
	exit $$failed

demo: build-win64 build-host
	$(E2E_ENV) bash tests/e2e/demo.sh

# BENCH_BASELINE_SETUP=path/to/an/older/setup.exe adds its first-page time beside ours.
bench: build-host build-win64
	@for b in $(HOST)/bench/*_bench; do echo "== $$(basename $$b)"; $$b; done
	@echo "== silent_install_bench"; $(E2E_ENV) bash bench/silent_install_bench.sh

clean:
	rm -rf $(BUILD)
