# Entry points for people and CI. Everything goes through CMake; this file only
# names the build directories and the order of the steps.

BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all bootstrap build run test bench sanitize clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ ! -x $(BUILD_DIR)/bin/quorvane ]; then \
	  echo "quorvane: the application is not built yet; only the engine and its tests exist." >&2; \
	  exit 1; \
	fi
	$(BUILD_DIR)/bin/quorvane

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: bootstrap
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; $$b || exit 1; done

sanitize: bootstrap
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON -DQUORVANE_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
