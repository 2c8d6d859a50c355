# The README's commands. `make demo` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
# `make demo DEMO_PROTOCOL=current` shows servers of today and the current query protocol.
DEMO_PROTOCOL ?= original
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

# `make fuzz` runs each target for FUZZ_SECONDS and keeps what it finds in FUZZ_WORK, outside
# the tree; only small interesting inputs and the crashes go into fuzz/corpus/.
FUZZ_SECONDS ?= 60
FUZZ_WORK    ?= $(HOME)/.cache/vantrix-fuzz
FUZZ_TARGETS ?= $(sort $(basename $(notdir $(wildcard fuzz/*.cpp))))
FUZZ_FLAGS   ?= -max_len=4096 -timeout=20 -rss_limit_mb=2048


# Sanitizer reports stop the test that made them. Leaks are reported too; only the Qt and
# font libraries' own allocations are suppressed (see the file).
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1:strict_string_checks=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/cmake/lsan-suppressions.txt:print_suppressions=0
TSAN_ENV := TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

.PHONY: all deps configure build test test-fast test-asan test-tsan fuzz bench bench-peers run demo package install uninstall clean format

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/CMakeCache.txt

build: deps
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite: the normal build, then the sanitizer builds.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-tsan

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

# Every test (the window's too, when it is built) under AddressSanitizer and
# UndefinedBehaviorSanitizer; the first report fails the run.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVANTRIX_SANITIZE=address,undefined -DVANTRIX_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) --timeout 900

# The net layer's and the checker's tests under ThreadSanitizer. They have no Qt, so the
# window is left out.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRIX_SANITIZE=thread -DVANTRIX_GUI=OFF -DVANTRIX_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target net_tests check_tests
	$(TSAN_ENV) ctest --test-dir $(TSAN_BUILD) -L 'net|check' --no-tests=error --output-on-failure -j $(JOBS) --timeout 900

# libFuzzer programs (clang), each run FUZZ_SECONDS on its seeds and its work corpus; new inputs
# go to the work corpus, crashes to FUZZ_WORK/<target>-crash-*. A crash fails the run at the end.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRIX_FUZZ=ON -DVANTRIX_GUI=OFF -DVANTRIX_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
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

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
