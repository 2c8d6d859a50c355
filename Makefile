# The README's commands. `make demo` and `make test` install what is missing first.
# Each build folder is a preset of CMakePresets.json (`cmake --preset <name>` works alone too):
#   dev -> build, asan-ubsan -> build-asan, tsan-net -> build-tsan, fuzz -> build-fuzz,
#   release -> build-release.
BUILD         := build
ASAN_BUILD    := build-asan
TSAN_BUILD    := build-tsan
FUZZ_BUILD    := build-fuzz
RELEASE_BUILD := build-release
JOBS          ?= $(shell nproc)
# Rebuilds after a clean or a branch switch come from the compiler cache when there is one.
LAUNCHER      := $(shell command -v ccache >/dev/null 2>&1 && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
# `make demo DEMO_PROTOCOL=current` shows servers of today and the current query protocol.
DEMO_PROTOCOL ?= original

# `make fuzz` runs each target for FUZZ_SECONDS and keeps what it finds in FUZZ_WORK, outside
# the tree; only small interesting inputs and the crashes go into fuzz/corpus/.
FUZZ_SECONDS ?= 60
FUZZ_WORK    ?= $(HOME)/.cache/vantrix-fuzz
FUZZ_TARGETS ?= $(sort $(basename $(notdir $(wildcard fuzz/*.cpp))))
FUZZ_FLAGS   ?= -max_len=4096 -timeout=20 -rss_limit_mb=2048

.PHONY: all deps configure build release test test-fast check-includes tidy tidy-changed test-asan test-tsan fuzz bench bench-peers run demo package install uninstall clean format format-check

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake --preset dev $(LAUNCHER)

configure: $(BUILD)/CMakeCache.txt

build: deps
	@$(MAKE) --no-print-directory configure
	cmake --build --preset dev -j $(JOBS)

# The program and the tools alone, optimised, in build-release.
release: deps
	cmake --preset release $(LAUNCHER)
	cmake --build --preset release -j $(JOBS)

# The whole suite: the include map, the sources' format and clang-tidy on what changed first,
# then the normal build, then the sanitizer builds.
test: deps
	@$(MAKE) --no-print-directory check-includes
	@$(MAKE) --no-print-directory format-check
	@$(MAKE) --no-print-directory tidy-changed
	@$(MAKE) --no-print-directory build
	ctest --preset dev -j $(JOBS)
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-tsan

test-fast: build
	ctest --preset dev -j $(JOBS)

# Every test (the window's too, when it is built) under AddressSanitizer and
# UndefinedBehaviorSanitizer; the first report fails the run. Leaks are reported too; only the
# Qt and font libraries' own allocations are suppressed (cmake/lsan-suppressions.txt). The install
# tests check the packaging, not the code: the normal build runs them.
test-asan: deps
	cmake --preset asan-ubsan $(LAUNCHER)
	cmake --build --preset asan-ubsan -j $(JOBS)
	ctest --preset asan-ubsan -j $(JOBS)

# The net layer's, the UDP client's and the checker's tests under ThreadSanitizer. They have no Qt, so the
# window is left out.
test-tsan: deps
	cmake --preset tsan-net $(LAUNCHER)
	cmake --build --preset tsan-net -j $(JOBS)
	ctest --preset tsan-net -j $(JOBS)

# libFuzzer programs (clang), each run FUZZ_SECONDS on its seeds and its work corpus; new inputs
# go to the work corpus, crashes to FUZZ_WORK/<target>-crash-*. A crash fails the run at the end.
fuzz: deps
	cmake --preset fuzz $(LAUNCHER)
	cmake --build --preset fuzz -j $(JOBS)
	@failed=""; for t in $(FUZZ_TARGETS); do \
	  mkdir -p "$(FUZZ_WORK)/$$t"; \
	  dict=""; if [ -f "fuzz/$$t.dict" ]; then dict="-dict=fuzz/$$t.dict"; fi; \
	  echo "== $$t: $(FUZZ_SECONDS) s, log in $(FUZZ_WORK)/$$t.log"; \
	  if $(FUZZ_BUILD)/bin/$${t}_fuzz $(FUZZ_FLAGS) -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	       -artifact_prefix="$(FUZZ_WORK)/$$t-" $$dict "$(FUZZ_WORK)/$$t" "fuzz/corpus/$$t" \
	       >"$(FUZZ_WORK)/$$t.log" 2>&1; then \
	    grep -E '^#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units' "$(FUZZ_WORK)/$$t.log"; \
	  else \
	    tail -n 40 "$(FUZZ_WORK)/$$t.log"; failed="$$failed $$t"; \
	  fi; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzz: crashes in:$$failed"; exit 1; fi

bench: build
	@set -e; for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b; done

# vantrix-check beside quakestat and gamedig on the same simulated servers.
bench-peers: build
	bash bench/peers/run.sh $(BUILD)

run: build
	$(BUILD)/bin/vantrix

demo: build
	bash scripts/demo.sh $(BUILD) $(DEMO_PROTOCOL)

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

# clang-tidy (.clang-tidy) over every source of src/ and tools/; fails on any finding. The whole
# tree takes far longer than three minutes on two cores, so `make test` runs tidy-changed: the
# sources changed against the main branch (see scripts/tidy.sh for a clone of main itself).
tidy: deps
	@$(MAKE) --no-print-directory configure
	bash scripts/tidy.sh $(BUILD) all

tidy-changed: deps
	@$(MAKE) --no-print-directory configure
	bash scripts/tidy.sh $(BUILD) changed

# Fails, naming file and line, when an #include leaves the folder graph of docs/ARCHITECTURE.md.
check-includes:
	python3 scripts/check-includes.py

# Fails, naming the files, when a tracked source file is not as clang-format writes it.
format-check:
	bash scripts/format-check.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(RELEASE_BUILD)
