# The commands of the README:
#   make run      set up, build and start the program
#   make check    set up, build and run every test, plus a sanitizer build of the tests
#   make package  set up, build and make the Debian package build/package/zentor_*.deb

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
GEN        := -G Ninja

.PHONY: run check setup build build-asan test test-asan bench clean package package-check

setup:
	@bash scripts/setup

# Configure every time: layers found by their folders join the build as they appear.
build: setup
	cmake $(GEN) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build-asan: setup
	cmake $(GEN) -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZENTOR_SANITIZE=ON \
	  -DZENTOR_BENCH=OFF -DZENTOR_GUI=ON >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# From the release build as it stands: packaging compiles nothing.
package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/zentor_*.deb

package-check: build
	@bash scripts/package-check $(BUILD)

check: test package-check test-asan
	@bash scripts/fuzz-smoke $(BUILD)-fuzz

bench: build
	@for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BUILD)-fuzz
