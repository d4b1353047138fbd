# SPDX-License-Identifier: MIT
# Thin wrapper around CMake. `make run` starts the program against the interface simulator,
# `make test` runs the whole suite headless.

BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test drill bench fuzz fuzz-campaign sanitize package package-test format clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-with-sim.sh $(BUILD)

# The fault drills (label "drill") take a minute or two and run on their own.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE drill

drill: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L drill

bench: build
	scripts/bench.sh $(BUILD)

# The test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
# LeakSanitizer skips the allocations that system libraries keep until exit (scripts/lsan.supp).
sanitize: deps
	LSAN_OPTIONS="suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0$${LSAN_OPTIONS:+:$$LSAN_OPTIONS}" \
	$(MAKE) test BUILD=build-asan BUILD_TYPE=RelWithDebInfo CMAKE_ARGS="-DTANDOR_SANITIZE=ON -DTANDOR_BUILD_BENCH=OFF"

# libFuzzer targets (clang); FUZZ_SECONDS per target, FUZZ_JOBS targets at once.
FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= 1
fuzz: deps
	FUZZ_JOBS=$(FUZZ_JOBS) scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

# A quarter of an hour per target: over ten million inputs for each of the two fast targets.
# FUZZ_JOBS=2 runs two targets at once.
fuzz-campaign: FUZZ_SECONDS = 900
fuzz-campaign: deps
	FUZZ_JOBS=$(FUZZ_JOBS) scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

package: build
	cd $(BUILD) && cpack -G DEB

package-test: build
	scripts/package-test.sh $(BUILD)

format:
	find src tests tools bench fuzz -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
