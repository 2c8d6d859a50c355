# The README's commands. `make demo` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test test-fast test-asan bench bench-peers run demo package install uninstall clean format

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

# build/vantrix_<version>_<arch>.deb; install it with: apt-get install ./build/vantrix_*.deb
package: build
	cd $(BUILD) && cpack -G DEB

# The programs, menu entry, icons and manual pages under PREFIX (DESTDIR is honoured);
# `make uninstall` removes exactly the files that this wrote.
PREFIX ?= /usr/local
# (The install test overwrites cmake's own install_manifest.txt, so the list is kept apart.)
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	cp $(BUILD)/install_manifest.txt $(BUILD)/make-install-files.txt

uninstall:
	@test -f $(BUILD)/make-install-files.txt || { echo "uninstall: nothing was installed from $(BUILD)"; exit 1; }
	xargs -d '\n' rm -f -- < $(BUILD)/make-install-files.txt
	sed -n 's|\(/vantrix\)/[^/]*$$|\1|p' $(BUILD)/make-install-files.txt | sort -u | xargs -r -d '\n' rmdir --
	rm -f $(BUILD)/make-install-files.txt

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
