# The commands of the README:
#   make run      set up, build and start the program
#   make check    set up, build and run every test, plus the sanitizer builds of the tests
#   make package  set up, build and make the Debian package build/package/zentor_*.deb

BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
GEN        := -G Ninja

.PHONY: run check setup build build-asan test test-asan build-tsan check-tsan bench clean \
  package package-check format format-check

setup:
	@bash scripts/setup

# Configure every time, so that a changed CMake file or option always takes effect.
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
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer: a build of only the test programs of the folders in TSAN_LAYERS and the
# layers they use (no benchmarks, executables or other tests), run with every report fatal.
# TSAN_FILTER_<folder> narrows a folder's tests by a GoogleTest filter: of the desktop's
# tests, the RealUse ones (the windows against the simulator, with the exchange worker and
# the console's screen updater) and the watch table and trend over the simulator's run.
# TSAN_GUI=OFF TSAN_LAYERS="link sim" leaves the desktop out.
# tests/tsan.supp holds the few suppressions.
TSAN_LAYERS     ?= link sim gui
TSAN_GUI        ?= ON
TSAN_FILTER_gui ?= *RealUse*:WatchTableTest.*:TrendTest.*
TSAN_ENV := TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 \
  suppressions=$(CURDIR)/tests/tsan.supp" QT_QPA_PLATFORM=offscreen

build-tsan: setup
	cmake $(GEN) -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZENTOR_SANITIZE_THREAD=ON \
	  -DZENTOR_BENCH=OFF -DZENTOR_GUI=$(TSAN_GUI) -DZENTOR_TEST_LAYERS="$(TSAN_LAYERS)" \
	  -DZENTOR_TEST_FILTER_gui="$(TSAN_FILTER_gui)" >/dev/null
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(addsuffix _tests,$(TSAN_LAYERS))

check-tsan: build-tsan
	cd $(TSAN_BUILD) && $(TSAN_ENV) ctest --output-on-failure -j $(JOBS)

# From the release build as it stands: packaging compiles nothing.
package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/zentor_*.deb

package-check: build
	@bash scripts/package-check $(BUILD)

# Every C++ file as the project's .clang-format lays it out, by one fixed clang-format
# version (the layout differs between versions); `make format` lays them out so.
CLANG_FORMAT ?= clang-format-14
FORMATTED     = git ls-files -z '*.cpp' '*.h'

format-check: setup
	@$(FORMATTED) | xargs -0 $(CLANG_FORMAT) --dry-run --Werror

format: setup
	@$(FORMATTED) | xargs -0 $(CLANG_FORMAT) -i

check: format-check test package-check test-asan check-tsan
	@bash scripts/geometry-check $(BUILD)
	@bash scripts/fuzz-smoke $(BUILD)-fuzz

bench: build
	@for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BUILD)-fuzz
