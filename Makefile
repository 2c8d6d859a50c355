# The README's commands. `make demo` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test test-fast test-asan bench bench-peers run demo clean format

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/CMakeCache.txt

build: deps
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite: the normal build, then the sanitizer build.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVANTRIX_SANITIZE=address,undefined -DVANTRIX_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) --timeout 900

bench: build
	@set -e; for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b; done

# vantrix-check beside quakestat and gamedig on the same simulated servers.
bench-peers: build
	bash bench/peers/run.sh $(BUILD)

run: build
	$(BUILD)/bin/vantrix

demo: build
	bash scripts/demo.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
