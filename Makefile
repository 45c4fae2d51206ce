# Entry points for people and CI. Everything goes through CMake; this file only
# names the build directories and the order of the steps.

BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
TSAN_DIR  ?= build-tsan
BENCH_DIR ?= build-bench
JOBS      ?= $(shell nproc)
PREFIX    ?= /usr/local
CMAKE_FLAGS ?=

.PHONY: all bootstrap build run test bench sanitize tsan install clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/quorvane

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# Every benchmark runs, so that one missed target does not hide the others' numbers.
bench: bootstrap
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@failed=""; for b in $(BENCH_DIR)/bin/bench_*; do echo "== $$b"; $$b || failed="$$failed $$(basename $$b)"; done; \
	  if [ -n "$$failed" ]; then echo "targets missed:$$failed" >&2; exit 1; fi

sanitize: bootstrap
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON -DQUORVANE_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# By hand, not in CI: the state's flows and the HTTP session under ThreadSanitizer.
tsan: bootstrap
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_BUILD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR) -j $(JOBS)
	TSAN_OPTIONS=suppressions=$(CURDIR)/tests/tsan.supp:halt_on_error=1 \
	  ctest --test-dir $(TSAN_DIR) --output-on-failure -j $(JOBS) -R '^(AppState|VariationGroup|WorkerSet|TaskSlot|CurlHttpSession|SentryTransport|Updater)'

# The program looks for its data files under the prefix it was configured with,
# so the prefix is set before building. DESTDIR is honoured for packaging.
install: bootstrap
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quorvane
	cmake --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(BENCH_DIR)
